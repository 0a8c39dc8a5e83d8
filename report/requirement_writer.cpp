// The REQUIREMENTS block of a notes list, and the console echo of -v.
//
// Each requirement Note is cut in place over a view of its text: the name up
// to the separator, the value after it, then the value cut into attributes.
// Searches only move forward through the text, so a Note is handled in time
// linear in its length however many attributes it holds.

#include "i18n/local8bit.h"
#include "project/expand_variables.h"
#include "report/console_echo.h"
#include "report/section_text.h"
#include "report/section_writers.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>

namespace {

constexpr std::size_t npos = std::string_view::npos;

// A blank is 0x20 only; a TAB is no blank.
std::size_t skip_blanks(std::string_view text, std::size_t pos) {
    while (pos < text.size() && text[pos] == ' ') {
        ++pos;
    }
    return pos;
}

// The first occurrence of one byte at or after a position that only grows:
// a found position is kept until the search passes it, so the text is
// scanned once for the whole Note.
class ForwardFind {
  public:
    ForwardFind(std::string_view text, char wanted) : text_(text), wanted_(wanted) {}
    std::size_t from(std::size_t pos) {
        if (!searched_ || (found_ != npos && found_ < pos)) {
            found_ = text_.find(wanted_, pos);
            searched_ = true;
        }
        return found_;
    }

  private:
    std::string_view text_;
    char wanted_;
    bool searched_ = false;
    std::size_t found_ = npos;
};

// Markup made of a few pieces, joined once per list so that each use is one
// copy. Indents are a few TABs and the markup fits in place; a longer one
// goes to the heap.
class JoinedMarkup {
  public:
    JoinedMarkup(std::initializer_list<std::string_view> pieces) {
        std::size_t total = 0;
        for (const std::string_view piece : pieces) {
            total += piece.size();
        }
        char* bytes = in_place_;
        if (total > sizeof in_place_) {
            on_heap_ = std::make_unique_for_overwrite<char[]>(total);
            bytes = on_heap_.get();
        }
        for (const std::string_view piece : pieces) {
            std::memcpy(bytes + size_, piece.data(), piece.size());
            size_ += piece.size();
        }
        bytes_ = bytes;
    }
    JoinedMarkup(const JoinedMarkup&) = delete;
    JoinedMarkup& operator=(const JoinedMarkup&) = delete;
    std::string_view view() const { return {bytes_, size_}; }

  private:
    char in_place_[48];
    std::unique_ptr<char[]> on_heap_;
    const char* bytes_ = nullptr;
    std::size_t size_ = 0;
};

// The state of one list: whether its block is open and the separator, which
// a Note without ';' or ',' takes over from the Note before it.
struct RequirementList {
    RequirementList(XmlStream& out, std::string_view indent, bool ok, EnvironmentCache& environment,
                    ConsoleEcho* echo)
        : out(out),
          indent(indent),
          status(status_word(ok)),
          environment(environment),
          echo(echo),
          attribute_open{indent, "\t\t<ATTRIBUTE NAME=\""},
          attribute_close{"\">\n", indent, "\t\t</ATTRIBUTE>\n"} {}

    XmlStream& out;
    std::string_view indent;
    std::string_view status;
    EnvironmentCache& environment;
    ConsoleEcho* echo;  // null: no echo
    bool open = false;
    char separator = ' ';
    std::string decoded;  // an attribute value in UTF-8, before expansion
    std::string line;     // the console line of the current requirement
    const JoinedMarkup attribute_open;
    const JoinedMarkup attribute_close;

    void write_requirement(std::string_view text);
    void write_attribute_value(std::string_view value);
};

void RequirementList::write_requirement(std::string_view text) {
    if (!open) {
        out.put(indent);
        out.put("<REQUIREMENTS>\n");
        open = true;
    }
    if (text.find(';') != npos) {
        separator = ';';
    } else if (text.find(',') != npos) {
        separator = ',';
    }

    const std::size_t name_start = skip_blanks(text, 0);
    const std::size_t name_end = std::min(text.find(separator, name_start), text.size());
    const std::string_view name = text.substr(name_start, name_end - name_start);
    const std::size_t value_start =
        name_end < text.size() ? skip_blanks(text, name_end + 1) : text.size();

    out.put(indent);
    out.put("\t<REQUIREMENT NAME=\"");
    out.put_text(name, XmlPlace::Attribute, TextEncoding::Local8Bit);
    out.put("\" STATUS=\"");
    out.put(status);
    out.put("\" VALUE=\"");
    out.put_text(text.substr(value_start), XmlPlace::Attribute, TextEncoding::Local8Bit);
    out.put("\">\n");
    if (echo) {
        line.clear();
        local8bit_append_utf8(line, name);
        line.append(", status:");
        line.append(status);
    }

    // The ':' or '=' that names an attribute is looked for in the whole
    // rest, past any separator, so "x, y=1" is one attribute named "x, y".
    ForwardFind colons(text, ':');
    ForwardFind equals(text, '=');
    std::size_t pos = value_start;
    for (int position = 1; pos < text.size(); ++position) {
        const std::size_t mark = std::min(colons.from(pos), equals.from(pos));
        std::size_t attribute_start = pos;
        out.put(attribute_open.view());
        if (mark != npos) {
            const std::string_view attribute_name = text.substr(pos, mark - pos);
            out.put_text(attribute_name, XmlPlace::Attribute, TextEncoding::Local8Bit);
            if (echo) {
                line.append(", ");
                local8bit_append_utf8(line, attribute_name);
                line.push_back(':');
            }
            attribute_start = skip_blanks(text, mark + 1);
        } else {
            out.put("att_");
            out.put_int(position);
            if (echo) {
                line.append(", ");
            }
        }
        const std::size_t attribute_end =
            std::min(text.find(separator, attribute_start), text.size());
        out.put("\" VALUE=\"");
        write_attribute_value(text.substr(attribute_start, attribute_end - attribute_start));
        out.put(attribute_close.view());
        pos = attribute_end < text.size() ? skip_blanks(text, attribute_end + 1) : text.size();
    }

    out.put(indent);
    out.put("\t</REQUIREMENT>\n");
    if (echo) {
        line.push_back('\n');
        echo->write_line(line);
    }
}

void RequirementList::write_attribute_value(std::string_view value) {
    if (value.find('$') == npos) {
        // A value without '$' is its own expansion: the stream converts it.
        out.put_text(value, XmlPlace::Attribute, TextEncoding::Local8Bit);
        if (echo) {
            local8bit_append_utf8(line, value);
        }
        return;
    }
    // Under a UTF-8 locale an ASCII value is its own UTF-8 form.
    std::string_view utf8 = value;
    if (local8bit_kind() != Local8BitKind::Utf8 || !is_ascii(value)) {
        decoded.clear();
        local8bit_append_utf8(decoded, value);
        utf8 = decoded;
    }
    expand_variables(out, utf8, XmlPlace::Attribute, environment);
    if (echo) {
        expand_variables(line, utf8, environment);
    }
}

}  // namespace

void xrd_flush_comment(XmlStream& out, const RodNode* first_note, bool ok, std::string_view indent,
                       EnvironmentCache& environment, ConsoleEcho* echo) {
    RequirementList list(out, indent, ok, environment, echo);
    for (const RodNode* note = first_note; note; note = rod_next(note)) {
        const std::string_view text = rod_text_view(rod_note_text(note));
        if (rod_note_letter(note) == 'R' && !text.empty()) {
            list.write_requirement(text);
        }
    }
    if (list.open) {
        out.put(indent);
        out.put("</REQUIREMENTS>\n");
    }
}
