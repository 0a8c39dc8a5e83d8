#include "campaign/natural_order.h"

namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// The end of the run of digits that starts at i.
std::size_t digits_end(std::string_view text, std::size_t i) {
    while (i < text.size() && is_digit(text[i])) {
        ++i;
    }
    return i;
}

// <0, 0 or >0 as run a writes a smaller, the same or a larger number than b;
// with numbers alike (007 and 7), the run with fewer leading zeros first.
int compare_numbers(std::string_view a, std::string_view b) {
    const std::size_t a_zeros =
        a.find_first_not_of('0') == std::string_view::npos ? a.size() : a.find_first_not_of('0');
    const std::size_t b_zeros =
        b.find_first_not_of('0') == std::string_view::npos ? b.size() : b.find_first_not_of('0');
    const std::string_view a_value = a.substr(a_zeros);
    const std::string_view b_value = b.substr(b_zeros);
    if (a_value.size() != b_value.size()) {
        return a_value.size() < b_value.size() ? -1 : 1;
    }
    if (const int by_digits = a_value.compare(b_value); by_digits != 0) {
        return by_digits;
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

}  // namespace

bool natural_less(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (is_digit(a[i]) && is_digit(b[j])) {
            const std::size_t a_end = digits_end(a, i);
            const std::size_t b_end = digits_end(b, j);
            if (const int by_number =
                    compare_numbers(a.substr(i, a_end - i), b.substr(j, b_end - j));
                by_number != 0) {
                return by_number < 0;
            }
            i = a_end;
            j = b_end;
            continue;
        }
        if (a[i] != b[j]) {
            return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
        }
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}
