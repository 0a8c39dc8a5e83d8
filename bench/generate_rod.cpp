// Writes ROD files for the benchmarks: a realistic campaign of a chosen size
// and adversarial shapes that punish anything worse than linear.
//
//   generate_rod realistic <megabytes> <file>
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

// Proportions taken from real campaigns: most lines are variables with their
// values and verdicts; requirements and comments sit on services and tests;
// a coverage summary closes each service.
void realistic(long long megabytes, const char* path) {
    Out out(path);
    header(out);
    std::mt19937 random(42);
    const long long target = megabytes * 1024 * 1024;
    long long service = 0;
    while (out.written() < target) {
        ++service;
        const std::string s = std::to_string(service);
        out.line("FP7 " + std::to_string(1 + service % 20) + " " + std::to_string(10 + service));
        out.line("NS service_" + s);
        out.line("TS unit");
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
    }
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
    if (shape == "realistic") {
        realistic(amount, argv[3]);
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
