#include "rod/reader_fields.h"
#include "rod/reader_lines.h"
#include "rod/reader_records.h"

#include <climits>
#include <new>

namespace {

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

}  // namespace

RodNode* rod_read(const char* path) {
    if (!path) {
        reader_error(kReaderCannotOpen, path, 0, nullptr);
        return nullptr;
    }
    RodTree tree;
    try {
        RodLineSource source;
        if (!rod_open_lines(source, path)) {
            reader_error(kReaderCannotOpen, path, 0, nullptr);
            return nullptr;
        }
        std::string_view line;
        if (!rod_next_line(source, line)) {
            reader_error(kReaderBadFile, path, 0, nullptr);
            return nullptr;
        }
        const HeaderOutcome header = judge_header(line);
        switch (header) {
            case HeaderOutcome::NotRod:
                reader_error(kReaderBadFile, path, 1, nullptr);
                return nullptr;
            case HeaderOutcome::BadVersion:
                reader_error(kReaderBadVersion, path, 1, nullptr);
                return nullptr;
            case HeaderOutcome::VersionWarning:
            case HeaderOutcome::Headerless:
                reader_error(kReaderVersionWarning, path, 1, nullptr);
                break;
            case HeaderOutcome::Accepted:
                break;
        }
        tree.reset(rod_new_run(path));
        auto* run = rod_node_as<RodRunNode>(tree.get());
        if (!run) {
            return nullptr;
        }
        ReaderState state(run);
        std::int64_t line_number = 1;
        // A headerless file starts with its MO record, which is line 1.
        if (header == HeaderOutcome::Headerless) {
            act_on_record(path, line_number, rod_trim_line_end(line), state);
        }
        while (rod_next_line(source, line)) {
            ++line_number;
            line = rod_trim_line_end(line);
            if (!line.empty()) {
                act_on_record(path, line_number, line, state);
            }
        }
    } catch (const std::bad_alloc&) {
        // Out of memory part-way: the records read so far stand, as they do
        // after a read error.
    }
    return tree.release();
}
