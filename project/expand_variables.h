#pragma once
// Expansion of $NAME references from the process environment.
//
// A reference is '$' followed by the longest run of [A-Za-z0-9_]. A set
// variable's value replaces it, its bytes read in the locale's 8-bit encoding
// like every other text from outside (undecodable bytes become U+FFFD); an
// unset one leaves the reference as it is. Inserted values are never
// searched again.

#include <string>
#include <string_view>
#include <vector>

class XmlStream;
enum class XmlPlace;

// Environment values looked up once per name for the life of the cache, and
// kept in UTF-8: one requirement list can name the same variable thousands
// of times, and each getenv scans the whole environment. The environment and
// the locale must not change while a cache is in use. Only the first few
// names are kept, so a text naming many different variables costs no more
// than without a cache.
class EnvironmentCache {
  public:
    // The value of the variable in UTF-8, or null when it is not set; valid
    // until the next call.
    const std::string* get(std::string_view name);

  private:
    static constexpr std::size_t kMaxNames = 16;
    struct Entry {
        std::string name;
        bool set;
        std::string utf8;  // the value, when set
    };
    std::vector<Entry> entries_;
    Entry lookup_;  // the name looked up last when it is not kept
};

// Appends utf8 to out with its references expanded, looking the variables
// up through environment.
void expand_variables(std::string& out, std::string_view utf8, EnvironmentCache& environment);

// Writes the same expansion of utf8, which must be valid UTF-8, to out as a
// data text for place, without the copy: the bytes are those of the
// expanded text put in one go.
void expand_variables(XmlStream& out, std::string_view utf8, XmlPlace place,
                      EnvironmentCache& environment);
