#include "rod/reader_fields.h"
#include "rod/reader_lines.h"
#include "rod/reader_records.h"

#include <climits>
#include <new>
#include <string>

namespace {

// The header is judged on at most this many bytes of the first line, as much
// as a line buffer of 51200 bytes holds: the magic and the version fit with
// room to spare, and input that is no ROD file (a device, a binary without a
// line feed) is turned down without reading a line that may never end.
constexpr std::size_t kHeaderHeadSize = 51199;

// Line numbers are counted wide so that no file can overflow them; the hook
// takes an int.
int reported_line(std::int64_t line) {
    return line > INT_MAX ? INT_MAX : static_cast<int>(line);
}

// Acts on one record line, or reports its code when the code is unknown.
void act_on_record(const char* path, std::int64_t line_number, std::string_view line,
                   ReaderState& state) {
    if (!rod_apply_record(state, line)) {
        const char token[3] = {line[0], line.size() > 1 ? line[1] : '\0', '\0'};
        state.duplicate_warning.flush();  // earlier lines come first
        reader_error(kReaderInvalidToken, path, reported_line(line_number), token);
    }
}

// Judges the first line and reports a rejection; on success `first` is left
// holding the line when it is a headerless file's first record.
bool accept_header(RodLineSource& source, const char* path, HeaderOutcome& header,
                   std::string& first) {
    std::string_view head;
    bool whole = false;
    if (!rod_next_line_head(source, kHeaderHeadSize, head, whole)) {
        reader_error(kReaderBadFile, path, 0, nullptr);
        return false;
    }
    header = judge_header(head);
    switch (header) {
        case HeaderOutcome::NotRod:
            reader_error(kReaderBadFile, path, 1, nullptr);
            return false;
        case HeaderOutcome::BadVersion:
            reader_error(kReaderBadVersion, path, 1, nullptr);
            return false;
        case HeaderOutcome::VersionWarning:
        case HeaderOutcome::Headerless:
            reader_error(kReaderVersionWarning, path, 1, nullptr);
            break;
        case HeaderOutcome::Accepted:
            break;
    }
    if (header != HeaderOutcome::Headerless) {
        if (!whole) {
            rod_skip_line(source);  // behind the version a header line says nothing
        }
        return true;
    }
    // A headerless file starts with its MO record, which is read whole.
    first.assign(head);
    std::string_view rest;
    if (!whole && rod_next_line(source, rest)) {
        first.append(rest);
    }
    return true;
}

}  // namespace

RodReading rod_read(const char* path) {
    constexpr auto failed = [](RodReadFailure why) { return RodReading{nullptr, why}; };
    if (!path) {
        reader_error(kReaderCannotOpen, path, 0, nullptr);
        return failed(RodReadFailure::Rejected);
    }
    try {
        RodLineSource source;
        if (!rod_open_lines(source, path)) {
            reader_error(kReaderCannotOpen, path, 0, nullptr);
            return failed(RodReadFailure::Rejected);
        }
        HeaderOutcome header = HeaderOutcome::NotRod;
        std::string first;
        if (!accept_header(source, path, header, first)) {
            return failed(RodReadFailure::Rejected);
        }
        RodTree tree(rod_new_run(path));
        auto* run = rod_node_as<RodRunNode>(tree.get());
        if (!run) {
            return failed(RodReadFailure::OutOfMemory);
        }
        ReaderState state(run);
        std::int64_t line_number = 1;
        if (header == HeaderOutcome::Headerless) {
            act_on_record(path, line_number, rod_trim_line_end(first), state);
        }
        // The line of the open Test's record, for a file that ends inside it.
        std::int64_t test_line = 0;
        // The tree code turns a failed allocation into an absent node or
        // text; the arena remembers it, and such a tree is not the file.
        std::string_view line;
        while (!run->arena.exhausted() && rod_next_line(source, line)) {
            ++line_number;
            line = rod_trim_line_end(line);
            if (!line.empty()) {
                const RodTestNode* open_test = state.test.node;
                act_on_record(path, line_number, line, state);
                if (state.test.node != open_test) {
                    test_line = line_number;
                }
            }
        }
        run->arena.finish_growing();
        if (run->arena.exhausted()) {
            return failed(RodReadFailure::OutOfMemory);
        }
        if (source.read_error) {
            return failed(RodReadFailure::ReadError);
        }
        // No record closes a Test, so a file cut short by a harness that
        // stopped inside one reads as complete: the Test, with no verdict,
        // does not count against the run. Only a warning can tell.
        if (const RodTestNode* test = state.test.node; test && !test->status_text) {
            state.duplicate_warning.flush();  // earlier lines come first
            report_unfinished_test(rod_text_view(test->name), reported_line(test_line));
        }
        return RodReading{std::move(tree), RodReadFailure::None};
    } catch (const std::bad_alloc&) {
        // The reader's own allocations and the arena's fail alike: one answer.
        return failed(RodReadFailure::OutOfMemory);
    }
}
