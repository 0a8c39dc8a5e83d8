#pragma once
// Process-wide state changed for one test and put back afterwards: the
// environment and the locale (with the local 8-bit encoding that follows it).

#include "i18n/local8bit.h"

#include <clocale>
#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qtest {

// Sets (or, with a null value, unsets) variables; the old values come back.
class ScopedEnv {
  public:
    ScopedEnv(std::initializer_list<std::pair<const char*, const char*>> vars) {
        for (const auto& [name, value] : vars) {
            const char* old = std::getenv(name);
            saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
            if (value) {
                setenv(name, value, 1);
            } else {
                unsetenv(name);
            }
        }
    }
    ~ScopedEnv() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second) {
                setenv(it->first.c_str(), it->second->c_str(), 1);
            } else {
                unsetenv(it->first.c_str());
            }
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// Switches the process locale; ok() says whether the locale exists here.
class ScopedLocale {
  public:
    explicit ScopedLocale(const char* name) {
        const char* previous = std::setlocale(LC_ALL, nullptr);
        saved_ = previous ? previous : "C";
        ok_ = std::setlocale(LC_ALL, name) != nullptr;
        local8bit_init();
    }
    ~ScopedLocale() {
        std::setlocale(LC_ALL, saved_.c_str());
        local8bit_init();
    }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;
    bool ok() const { return ok_; }

  private:
    std::string saved_;
    bool ok_ = false;
};

}  // namespace qtest
