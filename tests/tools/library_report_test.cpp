// Golden files: every folder under tests/data/libraries holds a library file beside the report
// platter-inspect must print for it. Set PLATTER_UPDATE_GOLDEN=1 to rewrite the reports.

#include "tools/inspect/headless_app.h"
#include "tools/inspect/library_report.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace platter {
namespace {

const std::filesystem::path librariesDir = std::filesystem::path(PLATTER_TEST_DATA) / "libraries";

std::vector<std::string> cases() {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(librariesDir))
        if (e.is_directory()) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class LibraryReport : public ::testing::TestWithParam<std::string> {};

TEST_P(LibraryReport, MatchesTheExpectedReport) {
    const auto folder = librariesDir / GetParam();
    HeadlessApp headless((folder / "Library.xml").string());
    ASSERT_TRUE(headless.ready());
    const auto actual = libraryReport(headless.app()).dump(2) + "\n";
    const auto expectedPath = folder / "expected.json";
    if (std::getenv("PLATTER_UPDATE_GOLDEN")) std::ofstream(expectedPath) << actual;
    std::ifstream in(expectedPath);
    ASSERT_TRUE(in) << "missing " << expectedPath;
    std::stringstream expected;
    expected << in.rdbuf();
    EXPECT_EQ(actual, expected.str());
}

INSTANTIATE_TEST_SUITE_P(Libraries, LibraryReport, ::testing::ValuesIn(cases()), [](const auto& param) {
    std::string name = param.param;
    for (auto& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

TEST(LibraryReportTool, RefusesFilesThatAreNoLibrary) {
    EXPECT_FALSE(HeadlessApp((librariesDir / "no-such-folder" / "Library.xml").string()).ready());
}

} // namespace
} // namespace platter
