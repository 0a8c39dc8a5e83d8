// Writes ROD files for the benchmarks: campaigns of a chosen size in the
// shapes real campaigns take, and adversarial shapes that punish anything
// worse than linear.
//
//   generate_rod mixed <megabytes> <file>           the general campaign
//   generate_rod unit_variables <megabytes> <file>  unit tests, mostly variables
//   generate_rod requirements <megabytes> <file>    many requirements per test
//   generate_rod coverage_heavy <megabytes> <file>  large coverage sections
//   generate_rod services <count> <file>      distinct Service names
//   generate_rod variables <count> <file>     Variables in one Element
//   generate_rod long_requirement <megabytes> <file>
//   generate_rod coverage <count> <file>      coverage lines with TABs and parentheses
//   generate_rod duplicates <count> <file>    NS records of one name

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

class Out {
  public:
    explicit Out(const char* path) : file_(std::fopen(path, "wb")) {
        if (!file_) {
            std::perror(path);
            std::exit(1);
        }
    }
    ~Out() { std::fclose(file_); }
    void line(const std::string& text) {
        std::fwrite(text.data(), 1, text.size(), file_);
        std::fputc('\n', file_);
        written_ += text.size() + 1;
    }
    long long written() const { return written_; }

  private:
    std::FILE* file_;
    long long written_ = 0;
};

void header(Out& out) {
    out.line("KOVIN Merovia ROD: 1.1.0");
    out.line("MO Benchmark campaign");
    out.line("VM 3.2.1");
    out.line("SO src/module.c");
    out.line("PT tests/module.ptu");
    out.line("VO Qarvo 7.2");
    out.line("DE 2026/11/30 09:13:02");
    out.line("FX  0 /home/qa/campaigns/bench");
    for (int f = 1; f <= 20; ++f) {
        out.line("FX  " + std::to_string(f) + " tests/part_" + std::to_string(f) + ".ptu");
    }
}

// Writes services until the file holds megabytes: each opens with its
// position, its name (prefix and number) and its type, then body(number, the
// number as text) writes the rest.
template <typename Body>
void each_service(Out& out, long long megabytes, const char* prefix, const char* type, Body body) {
    const long long target = megabytes * 1024 * 1024;
    for (long long service = 1; out.written() < target; ++service) {
        const std::string s = std::to_string(service);
        out.line("FP7 " + std::to_string(1 + service % 20) + " " + std::to_string(10 + service));
        out.line("NS " + std::string(prefix) + s);
        out.line("TS " + std::string(type));
        body(service, s);
    }
}

// The general campaign: most lines are variables with their values and
// verdicts, in elements, environments and stubs; one requirement and one
// comment sit on each service and test; a coverage summary closes each
// service.
void mixed(long long megabytes, const char* path) {
    Out out(path);
    header(out);
    std::mt19937 random(42);
    each_service(out, megabytes, "service_", "unit", [&](long long, const std::string& s) {
        out.line("CO Checks the behaviour of service " + s + " under nominal and limit inputs.");
        out.line("RQ SRS_" + s + "_001; source=SRS v2.3; verified_by:test; owner=$USER");
        for (int t = 0; t < 12; ++t) {
            const std::string tn = std::to_string(t);
            out.line("FP6 " + std::to_string(1 + t % 20) + " " + std::to_string(100 + t));
            out.line("NT test_" + s + "_" + tn);
            out.line("CO Test case " + tn + " of service " + s);
            out.line("RQ SRS_" + s + "_" + tn + "0 rate=12.5 unit=ft/s mode:nominal");
            for (int e = 0; e < 3; ++e) {
                out.line("FP4 1 " + std::to_string(200 + e));
                out.line("NB element_" + std::to_string(e));
                if (e == 1) {
                    out.line("FP5 1 300");
                    out.line("EN env_" + std::to_string(e));
                    out.line("NV pressure");
                    out.line("IN 1013");
                    out.line("VA 1013");
                    out.line("RV CORRECT");
                }
                if (e == 2) {
                    out.line("FP3 1 400");
                    out.line("MN sensor_read");
                    out.line("VA 3");
                    out.line("RV CORRECT");
                    out.line("MC call 1");
                    out.line("MP channel");
                    out.line("VA 1");
                    out.line("RV CORRECT");
                }
                for (int v = 0; v < 6; ++v) {
                    out.line("FP2 1 " + std::to_string(500 + v));
                    out.line("NV variable_" + std::to_string(v));
                    out.line("IN " + std::to_string(random() % 1000));
                    out.line("VA " + std::to_string(random() % 1000));
                    const bool bad = random() % 200 == 0;
                    out.line(bad ? "RV INCORRECT" : "RV CORRECT");
                }
            }
            if (t % 4 == 0) {
                out.line("BD kp 0.5 0.5");
                out.line("RV CORRECT");
                out.line("BD ki 0.1 0.1");
                out.line("RV CORRECT");
                out.line("FB");
            }
            out.line("RT CORRECT");
        }
        out.line("KL File src/module_" + s + ".c");
        for (int k = 0; k < 8; ++k) {
            out.line("KL function_" + std::to_string(k) + "\tif (x > " + std::to_string(k) + ") (" +
                     std::to_string(k % 4) + "/4)");
        }
    });
}

// A short value as unit tests check them: an integer of up to five digits,
// sometimes negative, sometimes with decimals, so that few values repeat.
std::string short_number(std::mt19937& random) {
    const unsigned kind = random() % 8;
    std::string value = std::to_string(random() % 100000);
    if (kind == 0) {
        value.insert(0, "-");
    } else if (kind == 1) {
        value += "." + std::to_string(random() % 100);
    }
    return value;
}

// Unit tests of C functions, as generated test scripts give them: a few
// thousand services of about forty tests, each test checking some twenty
// variables (NV, IN, VA, V1, RV with short, mostly distinct numbers) in four
// elements, with one requirement that names a $NAME and one comment holding
// '<' and '&'. About 1.6 million variables per 100 MB, which is 80% of the
// bytes.
void unit_variables(long long megabytes, const char* path) {
    Out out(path);
    header(out);
    std::mt19937 random(7);
    each_service(out, megabytes, "utl_", "unit", [&](long long service, const std::string& s) {
        for (int t = 0; t < 40; ++t) {
            const std::string tn = std::to_string(t);
            out.line("FP6 " + std::to_string(1 + service % 20) + " " + std::to_string(100 + t));
            out.line("NT tc_" + s + "_" + tn);
            out.line("CO boundary " + tn + ": expects a < b && b < c");
            out.line("RQ LLR_" + s + "_" + tn + " target=$TARGET");
            for (int e = 0; e < 4; ++e) {
                out.line("NB step_" + std::to_string(e));
                for (int v = 0; v < 5; ++v) {
                    const std::string expected = short_number(random);
                    const bool bad = random() % 500 == 0;
                    out.line("NV ctx.field_" + std::to_string(e * 5 + v));
                    out.line("IN " + short_number(random));
                    out.line("VA " + (bad ? short_number(random) : expected));
                    out.line("V1 " + expected);
                    out.line(bad ? "RV INCORRECT" : "RV CORRECT");
                }
            }
            out.line("RT CORRECT");
        }
    });
}

// Integration tests traced to requirements: each test carries three to five
// requirements of five to ten attributes, two of them $NAME references, and
// two comments; its checks are a few variables. Requirements are nearly two
// thirds of the bytes.
void requirements(long long megabytes, const char* path) {
    Out out(path);
    header(out);
    std::mt19937 random(11);
    const char* levels[] = {"A", "B", "C", "D"};
    each_service(
        out, megabytes, "itg_", "integration", [&](long long service, const std::string& s) {
            out.line("RQ SYS_" + s + "; level=" + levels[service % 4] +
                     "; baseline=$BASELINE; owner:$USER; source=SSS v4.1");
            for (int t = 0; t < 15; ++t) {
                const std::string tn = std::to_string(t);
                out.line("FP6 " + std::to_string(1 + t % 20) + " " + std::to_string(100 + t));
                out.line("NT scenario_" + s + "_" + tn);
                out.line("CO Scenario " + tn + " drives the interface through its nominal path.");
                out.line("CO Expected: no error & the state machine back in IDLE.");
                const int count = 3 + static_cast<int>(random() % 3);
                for (int r = 0; r < count; ++r) {
                    std::string rq = "RQ HLR_" + s + "_" + tn + "_" + std::to_string(r) +
                                     "; level=" + levels[random() % 4] +
                                     "; source=SRS v2.3; verified_by:test; owner=$USER" +
                                     "; baseline=$BASELINE";
                    const int more = static_cast<int>(random() % 6);
                    for (int a = 0; a < more; ++a) {
                        rq += "; attr_" + std::to_string(a) + "=" + std::to_string(random() % 1000);
                    }
                    out.line(rq);
                }
                out.line("NB check");
                for (int v = 0; v < 4; ++v) {
                    out.line("NV signal_" + std::to_string(v));
                    out.line("VA " + std::to_string(random() % 100));
                    out.line(random() % 300 == 0 ? "RV INCORRECT" : "RV CORRECT");
                }
                out.line("RT CORRECT");
            }
        });
}

// Tests run with code coverage on: every test ends with the coverage of the
// module it exercised, function by function and decision by decision, and
// every service with its module's summary. Coverage lines are nearly nine
// tenths of the bytes.
void coverage_heavy(long long megabytes, const char* path) {
    Out out(path);
    header(out);
    std::mt19937 random(13);
    auto module_coverage = [&](const std::string& module, int functions) {
        out.line("KL File src/" + module + ".c");
        out.line("KL   Hit\tcount\ttotal");
        for (int f = 0; f < functions; ++f) {
            const std::string fn = module + "_fn" + std::to_string(f);
            const unsigned total = 1 + random() % 8;
            out.line("KL " + fn + "\tstatements (" + std::to_string(random() % (total + 1)) + "/" +
                     std::to_string(total) + ")");
            out.line("KL " + fn + "\tif (state->mode == MODE_" + std::to_string(f) + ") (" +
                     std::to_string(random() % 3) + "/2)");
            out.line("KL " + fn + "\tcalls\tnone");
        }
    };
    each_service(out, megabytes, "mod_", "unit", [&](long long, const std::string& s) {
        out.line("RQ SRS_" + s + "_001; owner=$USER");
        for (int t = 0; t < 8; ++t) {
            const std::string tn = std::to_string(t);
            out.line("NT cov_" + s + "_" + tn);
            out.line("CO Case " + tn);
            out.line("NB e");
            for (int v = 0; v < 3; ++v) {
                out.line("NV v" + std::to_string(v));
                out.line("VA " + std::to_string(random() % 100));
                out.line("RV CORRECT");
            }
            out.line("RT CORRECT");
            module_coverage("mod_" + s, 6);
        }
        module_coverage("mod_" + s, 12);
    });
}

// Each Service as a campaign declares it: a position, a type and one test,
// so that the time per MB compares with the realistic file's.
void services(long long count, const char* path) {
    Out out(path);
    header(out);
    for (long long i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        out.line("FP7 1 " + std::to_string(10 + i));
        out.line("NS flight_ctrl_service_" + n);
        out.line("TS unit");
        out.line("NT nominal_case_" + n);
        out.line("RT CORRECT");
    }
}

void variables(long long count, const char* path) {
    Out out(path);
    header(out);
    out.line("NS s");
    out.line("NT t");
    out.line("NB e");
    for (long long i = 0; i < count; ++i) {
        out.line("NV v" + std::to_string(i));
        out.line("VA 1");
        out.line("RV CORRECT");
    }
}

void long_requirement(long long megabytes, const char* path) {
    Out out(path);
    header(out);
    out.line("NS s");
    out.line("NT t");
    std::string requirement = "RQ REQ_LONG";
    const long long size = megabytes * 1024 * 1024;
    long long i = 0;
    while (static_cast<long long>(requirement.size()) < size) {
        requirement += " k" + std::to_string(i++) + "=$HOME:v NS x";
    }
    out.line(requirement);
    out.line("RT CORRECT");
}

void coverage(long long count, const char* path) {
    Out out(path);
    header(out);
    out.line("NS s");
    out.line("NT t");
    out.line("KL File src/a.c");
    for (long long i = 0; i < count; ++i) {
        out.line("KL f" + std::to_string(i) + "\t(1)\t((2/\t(3/4)\t(x (5/6)\t\t(7/8)) (9/");
    }
}

// One name declared again and again: without a position the first Service
// is reopened, with one a duplicate is made and a warning printed.
void duplicates(long long count, const char* path) {
    Out out(path);
    header(out);
    for (long long i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        if (i % 2 == 1) {
            out.line("FP7 1 " + std::to_string(i + 1));
        }
        out.line("NS flight_ctrl_service");
        out.line("TS unit");
        out.line("NT nominal_case_" + n);
        out.line("RT CORRECT");
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s SHAPE AMOUNT FILE\n", argv[0]);
        return 2;
    }
    const std::string shape = argv[1];
    const long long amount = std::atoll(argv[2]);
    if (shape == "mixed") {
        mixed(amount, argv[3]);
    } else if (shape == "unit_variables") {
        unit_variables(amount, argv[3]);
    } else if (shape == "requirements") {
        requirements(amount, argv[3]);
    } else if (shape == "coverage_heavy") {
        coverage_heavy(amount, argv[3]);
    } else if (shape == "services") {
        services(amount, argv[3]);
    } else if (shape == "variables") {
        variables(amount, argv[3]);
    } else if (shape == "long_requirement") {
        long_requirement(amount, argv[3]);
    } else if (shape == "coverage") {
        coverage(amount, argv[3]);
    } else if (shape == "duplicates") {
        duplicates(amount, argv[3]);
    } else {
        std::fprintf(stderr, "unknown shape %s\n", shape.c_str());
        return 2;
    }
    return 0;
}
