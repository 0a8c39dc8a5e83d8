// Writes a campaign of requirement reports shaped like the ones quillon
// writes, for the quillon-campaign benchmark, in one of two shapes:
//   campaign_generate DIR REPORTS TOTAL_MB REQUIREMENTS TESTS_PER_REPORT
//   campaign_generate --units DIR REPORTS SERVICES
// The second is a campaign of many small unit services: every report has
// SERVICES services of one test carrying one requirement (LLR_<service>, so
// every report verifies the same SERVICES requirements), about 360 bytes
// each; one test in 50 is KO.
//
// The first:
// Each report has services of 10 tests; each test carries two requirements
// (three attributes each) drawn from REQUIREMENTS IDs (each used at least
// once), a comment and a coverage block. TESTS_PER_REPORT 0 grows every
// report until the campaign holds TOTAL_MB; otherwise every report has
// exactly that many tests and TOTAL_MB is ignored. One test in 50 is KO. The
// output is the same for the same arguments.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::uint64_t state = 88172645463325252ull;

std::uint64_t next_random() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
}

// The first REQUIREMENTS draws name every ID once, so the campaign has them all.
long drawn = 0;

void append_requirement(std::string& out, long requirements, bool ok) {
    const long number =
        drawn < requirements ? drawn++ : static_cast<long>(next_random() % requirements);
    char id[32];
    std::snprintf(id, sizeof id, "LLR_%05ld", number);
    const char* status = ok ? "OK" : "KO";
    out += "\t\t\t\t<REQUIREMENT NAME=\"";
    out += id;
    out += "\" STATUS=\"";
    out += status;
    out +=
        "\" VALUE=\"source=SRS v2.3; level=A; verified_by=test &amp; review\">\n"
        "\t\t\t\t\t<ATTRIBUTE NAME=\"source\" VALUE=\"SRS v2.3\">\n\t\t\t\t\t</ATTRIBUTE>\n"
        "\t\t\t\t\t<ATTRIBUTE NAME=\"level\" VALUE=\"A\">\n\t\t\t\t\t</ATTRIBUTE>\n"
        "\t\t\t\t\t<ATTRIBUTE NAME=\"verified_by\" VALUE=\"test &amp; review\">\n"
        "\t\t\t\t\t</ATTRIBUTE>\n\t\t\t\t</REQUIREMENT>\n";
}

void append_test(std::string& out, int number, long requirements) {
    const bool ok = next_random() % 50 != 0;
    out += "\t\t<TEST NAME=\"test_" + std::to_string(number) + "\" STATUS=\"" + (ok ? "OK" : "KO") +
           "\" >\n\t\t\t<COMMENT>Checks the nominal and the saturated cases of the law, "
           "with &lt;limits&gt;.</COMMENT>\n\t\t\t<REQUIREMENTS>\n";
    append_requirement(out, requirements, ok);
    append_requirement(out, requirements, ok);
    out += "\t\t\t</REQUIREMENTS>\n\t\t\t<COVERAGE_RESULT MODULE=\"src/module.c\">\n";
    for (int i = 0; i < 4; ++i) {
        out +=
            "\t\t\t\t<COVERAGE_DETAILS BRANCH_NUMBER=\"4\" COVERED_BRANCH=\"3\" "
            "CODE=\"hold_law\">\n\t\t\t\t</COVERAGE_DETAILS>\n";
    }
    out += "\t\t\t</COVERAGE_RESULT>\n\t\t</TEST>\n";
}

std::string report(int index, long target_bytes, long tests, long requirements) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        "<?xml-stylesheet type=\"text/xsl\" href=\"testreq_report.xsl\" ?>\n"
        "<!-- Qarvoline/lib/reports/testreq_report.xsl -->\n"
        "<RUN TESTSUITE_PATH=\"/home/qa/campaigns/bench\" AUTHOR=\"bench\" STATUS=\"KO\">\n"
        "\t<REPORT_INFO REPORT_NAME=\"Bench report " +
        std::to_string(index) +
        "\" VERSION=\"1.0\" TARGET=\"x86_64\" RUN_DATE=\"2026/12/01 02:00:00\">\n"
        "\t</REPORT_INFO>\n";
    int service = 0;
    int test = 0;
    while (tests > 0 ? test < tests : static_cast<long>(out.size()) < target_bytes) {
        out += "\t<SERVICE NAME=\"service_" + std::to_string(service++) +
               "\" TYPE=\"unit\" STATUS=\"KO\" NB_VALID=\"9\" NB_INVALID=\"1\" NB_TEST=\"10\" >\n";
        for (int i = 0; i < 10 && (tests == 0 || test < tests); ++i) {
            append_test(out, test++, requirements);
        }
        out += "\t</SERVICE>\n";
    }
    return out + "</RUN>";
}

std::string unit_report(int index, int services) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        "<?xml-stylesheet type=\"text/xsl\" href=\"testreq_report.xsl\" ?>\n"
        "<RUN TESTSUITE_PATH=\"/home/qa/campaigns/units\" AUTHOR=\"bench\" STATUS=\"KO\">\n"
        "\t<REPORT_INFO REPORT_NAME=\"Unit report " +
        std::to_string(index) +
        "\" VERSION=\"1.0\" TARGET=\"x86_64\" RUN_DATE=\"2026/12/01 02:00:00\">\n"
        "\t</REPORT_INFO>\n";
    for (int s = 0; s < services; ++s) {
        const char* status = next_random() % 50 != 0 ? "OK" : "KO";
        char id[32];
        std::snprintf(id, sizeof id, "LLR_%05d", s);
        out += "\t<SERVICE NAME=\"service_" + std::to_string(s) + "\" TYPE=\"unit\" STATUS=\"" +
               status +
               "\" NB_VALID=\"1\" NB_INVALID=\"0\" NB_TEST=\"1\" >\n\t\t<TEST NAME=\"test_0\" "
               "STATUS=\"" +
               status +
               "\" >\n\t\t\t<COMMENT>Checks one "
               "unit.</COMMENT>\n\t\t\t<REQUIREMENTS>\n\t\t\t\t<REQUIREMENT NAME=\"" +
               id + "\" STATUS=\"" + status +
               "\" VALUE=\"level=A\">\n\t\t\t\t\t<ATTRIBUTE NAME=\"level\" "
               "VALUE=\"A\">\n\t\t\t\t\t</ATTRIBUTE>\n\t\t\t\t</REQUIREMENT>\n"
               "\t\t\t</REQUIREMENTS>\n\t\t</TEST>\n\t</SERVICE>\n";
    }
    return out + "</RUN>";
}

bool write_file(const std::string& path, const std::string& text) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::perror(path.c_str());
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (std::fclose(file) != 0 || !written) {
        std::perror(path.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--units") {
        const int reports = std::atoi(argv[3]);
        for (int r = 0; r < reports; ++r) {
            const std::string path =
                std::string(argv[2]) + "/report_" + std::to_string(r) + ".req.xml";
            if (!write_file(path, unit_report(r, std::atoi(argv[4])))) {
                return 1;
            }
        }
        return 0;
    }
    if (argc != 6) {
        std::fprintf(stderr,
                     "usage: %s DIR REPORTS TOTAL_MB REQUIREMENTS TESTS_PER_REPORT\n"
                     "       %s --units DIR REPORTS SERVICES\n",
                     argv[0], argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    const int reports = std::atoi(argv[2]);
    const long target = std::atol(argv[3]) * 1000000L / (reports > 0 ? reports : 1);
    const long requirements = std::atol(argv[4]);
    const long tests = std::atol(argv[5]);
    for (int r = 0; r < reports; ++r) {
        const std::string path = dir + "/report_" + std::to_string(r) + ".req.xml";
        if (!write_file(path, report(r, target, tests, requirements))) {
            return 1;
        }
    }
    return 0;
}
