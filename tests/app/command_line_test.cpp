// The command line, script text preparation and the font search path.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/diagnostics.h"
#include "app/font_path.h"
#include "app/program.h"

namespace plotwise::app {
namespace {

TEST(CommandLine, CommandsArgumentsAndOptions) {
    const CommandLine line = parseCommandLine({"eval", "--table", "A=a.csv", "1 + 1", "-o", "x.png", "--table=B=b.csv",
                                               "--var", "n=v=w", "--var", "c=@c.pwcf", "--locale", "de",
                                               "--container", "c.pwcf", "--plugin", "p.fmx"});
    EXPECT_EQ(line.command, CommandLine::Command::Eval);
    EXPECT_EQ(line.argument, "1 + 1");
    EXPECT_EQ(line.output, "x.png");
    EXPECT_EQ(line.tables, (std::vector<std::string>{"A=a.csv", "B=b.csv"}));
    ASSERT_EQ(line.variables.size(), 2u);
    EXPECT_EQ(line.variables[0], (std::pair<std::string, std::string>{"n", "v=w"}));
    EXPECT_EQ(line.variables[1].second, "@c.pwcf");
    EXPECT_EQ(line.locale, "de");
    EXPECT_EQ(line.container, "c.pwcf");
    EXPECT_EQ(line.plugin, "p.fmx");
}

TEST(CommandLine, ExpressionsMayStartWithASign) {
    EXPECT_EQ(parseCommandLine({"eval", "-3 + 1"}).argument, "-3 + 1");
    EXPECT_EQ(parseCommandLine({"eval", "--", "--3"}).argument, "--3");
    EXPECT_EQ(parseCommandLine({"run", "-"}).argument, "-");
}

TEST(CommandLine, OtherCommands) {
    EXPECT_EQ(parseCommandLine({"--help"}).command, CommandLine::Command::Help);
    EXPECT_EQ(parseCommandLine({"eval", "1", "--help"}).command, CommandLine::Command::Help);
    EXPECT_EQ(parseCommandLine({"--version", "--plugin", "p.fmx"}).plugin, "p.fmx");
    EXPECT_EQ(parseCommandLine({"inspect", "c.pwcf"}).argument, "c.pwcf");
}

TEST(CommandLine, Mistakes) {
    const std::vector<std::vector<std::string>> wrong{
        {},
        {"draw"},
        {"eval"},
        {"run"},
        {"inspect"},
        {"eval", "1", "2"},
        {"eval", "1", "-o"},
        {"eval", "1", "--bogus", "x"},
        {"eval", "1", "--var", "novalue"},
        {"eval", "1", "--var", "=x"},
        {"eval", "1", "--var", "$=x"},
        {"inspect", "c.pwcf", "--table", "A=a.csv"},
        {"--version", "extra"},
    };
    for (const auto& args : wrong) EXPECT_THROW(parseCommandLine(args), UsageError) << ::testing::PrintToString(args);
}

TEST(ScriptText, ByteOrderMarkAndInterpreterLine) {
    EXPECT_EQ(scriptText("\xEF\xBB\xBF" "1"), "1");
    EXPECT_EQ(scriptText("#!/usr/bin/env plotwise run\n1 +\n2"), "\n1 +\n2");  // lines keep their numbers
    EXPECT_EQ(scriptText("#!only"), "");
    EXPECT_EQ(scriptText("1 // #! stays"), "1 // #! stays");
}

TEST(FontPath, MapFolderFirstAndUserChoiceKept) {
    const std::string path = fontSearchPath("/opt/plotwise");
    EXPECT_TRUE(path.starts_with("/opt/plotwise/fonts:")) << path;
    EXPECT_NE(path.find(":/usr/share/fonts/truetype"), std::string::npos) << path;
    EXPECT_FALSE(fontSearchPath("").starts_with(":"));

    const char* saved = std::getenv("GDFONTPATH");
    const std::string before = saved ? saved : "";
    ::setenv("GDFONTPATH", "/mine", 1);
    setFontSearchPath("/opt/plotwise");
    EXPECT_STREQ(std::getenv("GDFONTPATH"), "/mine");
    ::unsetenv("GDFONTPATH");
    setFontSearchPath("/opt/plotwise");
    EXPECT_EQ(std::string(std::getenv("GDFONTPATH")), path);
    if (saved) ::setenv("GDFONTPATH", before.c_str(), 1);
    else ::unsetenv("GDFONTPATH");
}

}  // namespace
}  // namespace plotwise::app
