// The command line: what runs the game, what is answered on standard output, and what is a usage error.
#include <gtest/gtest.h>

#include "app/CommandLine.h"

namespace {

using tilvane::AnswerCommandLine;

TEST(CommandLine, NoArgumentRunsTheGameAndPrintsNothing) {
  const tilvane::CommandLineAnswer answer = AnswerCommandLine({});
  EXPECT_TRUE(answer.runGame);
  EXPECT_TRUE(answer.out.empty());
  EXPECT_TRUE(answer.err.empty());
}

TEST(CommandLine, VersionAndHelpAnswerOnStandardOutputWithoutTheGame) {
  const tilvane::CommandLineAnswer version = AnswerCommandLine({"--version"});
  EXPECT_FALSE(version.runGame);
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "Tilvane 4.01\n");
  EXPECT_TRUE(version.err.empty());

  const tilvane::CommandLineAnswer help = AnswerCommandLine({"--help"});
  EXPECT_FALSE(help.runGame);
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("Usage: tilvane [--help | --version]\n", 0), 0u) << help.out;
  EXPECT_NE(help.out.find("--version"), std::string::npos);
  EXPECT_TRUE(help.err.empty());
}

TEST(CommandLine, AnyOtherArgumentIsAUsageErrorThatNamesIt) {
  const std::vector<std::vector<std::string>> wrongLines = {{"--bogus"},
                                                            {"-h"},
                                                            {"-v"},
                                                            {""},
                                                            {"--Version"},
                                                            {"--version=1"},
                                                            {"--version", "--help"},
                                                            {"--help", "x"},
                                                            {"file.txt", "--version"}};
  for (const std::vector<std::string>& args : wrongLines) {
    const tilvane::CommandLineAnswer answer = AnswerCommandLine(args);
    const std::string named = (args[0] == "--version" || args[0] == "--help") ? args[1] : args[0];
    SCOPED_TRACE("argument '" + named + "'");
    EXPECT_FALSE(answer.runGame);
    EXPECT_EQ(answer.status, 2);
    EXPECT_TRUE(answer.out.empty());
    EXPECT_EQ(answer.err.rfind("tilvane: unexpected argument '" + named + "'\nUsage: tilvane", 0), 0u)
        << answer.err;
  }
}

}  // namespace
