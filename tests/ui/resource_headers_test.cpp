// Every resource file of the source tree parses, loads, and agrees name by
// name with its header of constants.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "ui/resource_file.h"
#include "ui_fixture.h"

namespace uitest {
namespace {

namespace fs = std::filesystem;
using Constants = std::map<std::string, int>;

std::string Lower(std::string s) {
    for (char &c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// `constexpr int NAME = 12;` lines; anything else in the header is ignored.
Constants HeaderConstants(const fs::path &header, std::vector<std::string> &problems) {
    Constants out;
    std::ifstream in(header);
    static const std::regex line(R"(^\s*(?:inline\s+)?constexpr\s+int\s+([A-Za-z_]\w*)\s*=\s*(\d+)\s*;)");
    std::string text;
    while (std::getline(in, text)) {
        std::smatch m;
        if (!std::regex_search(text, m, line)) continue;
        if (!out.emplace(m[1].str(), std::stoi(m[2].str())).second)
            problems.push_back(header.filename().string() + ": " + m[1].str() + " defined twice");
    }
    return out;
}

// Problems found between a resource file and its header; empty when they agree.
std::vector<std::string> Compare(const fs::path &uir, const fs::path &header) {
    std::vector<std::string> problems;
    std::vector<ui::model::Panel> panels;
    std::string error;
    if (ui::detail::ReadResourceFile(uir.string(), panels, error) != 0) return {error};
    Constants fromFile;
    for (const ui::model::Panel &p : panels) {
        fromFile[p.constantName] = p.resourceId;
        for (const ui::model::Control &c : p.controls) fromFile[c.constantName] = c.number;
    }
    const Constants fromHeader = HeaderConstants(header, problems);
    const std::string h = header.filename().string(), u = uir.filename().string();
    for (const auto &[name, number] : fromFile) {
        auto it = fromHeader.find(name);
        if (it == fromHeader.end())
            problems.push_back(h + " lacks " + name + " of " + u);
        else if (it->second != number)
            problems.push_back(name + " is " + std::to_string(number) + " in " + u + " but " +
                               std::to_string(it->second) + " in " + h);
    }
    for (const auto &[name, number] : fromHeader)
        if (!fromFile.count(name)) problems.push_back(h + " has " + name + ", which " + u + " does not");
    return problems;
}

fs::path HeaderOf(const fs::path &uir) {
    fs::path header = uir;
    header.replace_extension(".h");
    return header;
}

class ResourceHeadersTest : public UiTest {};

TEST_F(ResourceHeadersTest, EveryResourceFileAgreesWithItsHeader) {
    const char *source = std::getenv("VGX52_SOURCE");
    ASSERT_NE(source, nullptr) << "VGX52_SOURCE names the source tree";
    int files = 0;
    for (const fs::directory_entry &entry : fs::directory_iterator(fs::path(source) / "ui")) {
        if (Lower(entry.path().extension().string()) != ".uir") continue;
        ++files;
        const fs::path header = HeaderOf(entry.path());
        ASSERT_TRUE(fs::exists(header)) << entry.path() << " has no header " << header.filename();
        for (const std::string &problem : Compare(entry.path(), header)) ADD_FAILURE() << problem;

        // And every panel in it loads through the public call.
        std::vector<ui::model::Panel> panels;
        std::string error;
        ASSERT_EQ(ui::detail::ReadResourceFile(entry.path().string(), panels, error), 0) << error;
        for (const ui::model::Panel &p : panels)
            EXPECT_GT(ui::LoadPanel(0, entry.path().c_str(), p.resourceId), 0) << p.constantName;
    }
    EXPECT_GE(files, 1) << "the program's own VGX52_G.uir at least";
}

TEST_F(ResourceHeadersTest, TheCheckFindsEveryKindOfDisagreement) {
    Write("x.uir", "panel PANEL 1\ncontrol PANEL_A 2 int\ncontrol PANEL_B 3 int\n");
    Write("x.h",
          "#pragma once\n"
          "constexpr int PANEL = 1;\n"
          "constexpr int PANEL_A = 4;        // wrong number\n"
          "constexpr int PANEL_C = 5;        // not in the file\n"
          "// PANEL_B missing\n");
    const std::vector<std::string> problems = Compare(folder_ + "/x.uir", folder_ + "/x.h");
    ASSERT_EQ(problems.size(), 3u);
    std::string all;
    for (const std::string &p : problems) all += p + "\n";
    EXPECT_NE(all.find("PANEL_A is 2"), std::string::npos) << all;
    EXPECT_NE(all.find("lacks PANEL_B"), std::string::npos) << all;
    EXPECT_NE(all.find("has PANEL_C"), std::string::npos) << all;

    Write("x.h", "constexpr int PANEL = 1;\nconstexpr int PANEL_A = 2;\nconstexpr int PANEL_B = 3;\n");
    EXPECT_TRUE(Compare(folder_ + "/x.uir", folder_ + "/x.h").empty());
}

}  // namespace
}  // namespace uitest
