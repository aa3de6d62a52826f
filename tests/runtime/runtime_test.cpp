#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <clocale>
#include <csignal>
#include <cstring>
#include <thread>

#include "runtime/commandline.h"
#include "runtime/errors.h"
#include "runtime/numbers.h"
#include "runtime/signalcleanup.h"
#include "runtime/text.h"

namespace {

TEST(Trim, RemovesBlanksAndControlCharactersAtBothEndsOnly) {
  EXPECT_EQ(Trim("  a b \t\r\n"), "a b");
  EXPECT_EQ(Trim(std::string("\0x\x1f", 3)), "x");
  EXPECT_EQ(Trim(" \x01 "), "");
  EXPECT_EQ(Trim(""), "");
  EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");  // bytes above 127 are text
}

TEST(UpperCase, AsciiOnlyWhileAnsiUpperCaseTakesEveryLetter) {
  EXPECT_EQ(UpperCase("vertBar;1 \xE9"), "VERTBAR;1 \xE9");
  EXPECT_EQ(AnsiUpperCase("gr\xC3\xBCn"), "GR\xC3\x9CN");    // UTF-8 ü
  EXPECT_EQ(AnsiUpperCase("gr\xFCn \x9A"), "GR\xDCN \x8A");  // Windows-1252 ü, š
  EXPECT_EQ(AnsiUpperCase("none"), "NONE");
}

// A letter whose capital is ASCII, or takes another number of bytes, stays as it is: no name
// that is not in the colour table or among the style words may come to match one.
TEST(AnsiUpperCase, NeverFoldsIntoAsciiNorChangesTheLength) {
  const struct {
    const char* text;
    const char* upper;
  } cases[] = {{"wh\xC4\xB1te", "WH\xC4\xB1TE"},  // dotless i
               {"p\xC4\xB1"
                "e",
                "P\xC4\xB1"
                "E"},  // "pıe" is not PIE
               {"stra\xC3\x9F"
                "e",
                "STRA\xC3\x9F"
                "E"},                                                    // ß stays one letter
               {"\xC5\xBF", "\xC5\xBF"},                                 // long s
               {"\xEF\xAC\x81", "\xEF\xAC\x81"},                         // the ligature fi
               {"\xC9\x90", "\xC9\x90"},                                 // a capital of three bytes
               {"\xC3\xA4\xC3\xB6", "\xC3\x84\xC3\x96"},                 // ä ö
               {"\xF0\x9D\x90\x9A", "\xF0\x9D\x90\x9A"},                 // outside the first plane
               {"\xEF\xBB\xBFgr\xC3\xBCn", "\xEF\xBB\xBFGR\xC3\x9CN"}};  // byte order mark kept
  for (const auto& c : cases) {
    EXPECT_EQ(AnsiUpperCase(c.text), c.upper) << c.text;
    EXPECT_EQ(std::string(c.upper).size(), std::string(c.text).size());
  }
}

struct IntCase {
  const char* text;
  bool converts;
  std::int32_t value;
};

class StrToIntTest : public ::testing::TestWithParam<IntCase> {};

TEST_P(StrToIntTest, ConvertsSignedDecimalsWithinRange) {
  const IntCase& c = GetParam();
  if (c.converts) {
    EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
  } else {
    EXPECT_THROW(StrToInt(c.text), ConversionError) << c.text;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StrToIntTest,
    ::testing::Values(IntCase{"0", true, 0}, IntCase{"007", true, 7}, IntCase{"-3", true, -3},
                      IntCase{"+12", true, 12}, IntCase{"2147483647", true, 2147483647},
                      IntCase{"-2147483648", true, INT32_MIN}, IntCase{"2147483648", false, 0},
                      IntCase{"99999999999999999999", false, 0}, IntCase{"", false, 0},
                      IntCase{"-", false, 0}, IntCase{" 1", false, 0}, IntCase{"1 ", false, 0},
                      IntCase{"1.5", false, 0}, IntCase{"$1F", false, 0},
                      IntCase{"abc", false, 0}));

TEST(StrToInt, ErrorTextQuotesTheInput) {
  try {
    StrToInt("x1");
    FAIL();
  } catch (const ConversionError& error) {
    EXPECT_STREQ(error.what(), "'x1' is not a valid integer value");
  }
}

struct FloatCase {
  const char* text;
  bool converts;
  double value;
};

class StrToFloatTest : public ::testing::TestWithParam<FloatCase> {};

TEST_P(StrToFloatTest, ConvertsFiniteDecimals) {
  const FloatCase& c = GetParam();
  if (c.converts) {
    EXPECT_DOUBLE_EQ(StrToFloat(c.text), c.value) << c.text;
  } else {
    EXPECT_THROW(StrToFloat(c.text), ConversionError) << c.text;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StrToFloatTest,
    ::testing::Values(FloatCase{"12", true, 12}, FloatCase{"-1.25", true, -1.25},
                      FloatCase{"+.5", true, 0.5}, FloatCase{"3.", true, 3},
                      FloatCase{"1e3", true, 1000}, FloatCase{"2.5E-2", true, 0.025},
                      FloatCase{"1e-320", true, 1e-320}, FloatCase{"1e999", false, 0},
                      FloatCase{"inf", false, 0}, FloatCase{"nan", false, 0},
                      FloatCase{"", false, 0}, FloatCase{".", false, 0}, FloatCase{"1e", false, 0},
                      FloatCase{"1.2.3", false, 0}, FloatCase{"0x10", false, 0},
                      FloatCase{" 1", false, 0}, FloatCase{"1,000.5", false, 0}));

// The conversions follow the user's locale for the decimal separator, never the C library's
// locale that Qt sets from the environment.
TEST(StrToFloat, IndependentOfTheCLibraryLocale) {
  const char separator = LocaleDecimalSeparator();
  for (const char* name : {"C", "de_DE.UTF-8"}) {
    ASSERT_NE(std::setlocale(LC_ALL, name), nullptr) << name << " is not installed";
    EXPECT_DOUBLE_EQ(StrToFloat("1.5"), 1.5) << name;
    EXPECT_EQ(StrToInt("-42"), -42) << name;
    if (separator == ',') {
      EXPECT_DOUBLE_EQ(StrToFloat("1,5"), 1.5) << name;
      EXPECT_DOUBLE_EQ(StrToFloat("-0,25e1"), -2.5) << name;
    } else {
      EXPECT_THROW(StrToFloat("1,5"), ConversionError) << name;
    }
  }
  std::setlocale(LC_ALL, "C");
}

TEST(StrToFloat, GermanUserLocaleAcceptsTheComma) {
  if (!qEnvironmentVariable("LC_ALL").startsWith("de_DE")) GTEST_SKIP() << "runs under de_DE";
  EXPECT_EQ(LocaleDecimalSeparator(), ',');
  EXPECT_DOUBLE_EQ(StrToFloat("3,75"), 3.75);
  EXPECT_DOUBLE_EQ(StrToFloat("3.75"), 3.75);
}

TEST(Positions, CharAtAndFieldCountFromOne) {
  EXPECT_EQ(CharAt("abc", 1), 'a');
  EXPECT_EQ(CharAt("abc", 3), 'c');
  EXPECT_THROW(CharAt("abc", 0), ERangeError);
  EXPECT_THROW(CharAt("abc", 4), ERangeError);
  EXPECT_THROW(CharAt("", 1), ERangeError);
  EXPECT_EQ(Field("abcdef", 2, 4), "bcd");
  EXPECT_EQ(Field("abcdef", 4, 30), "def");  // cut at the end
  EXPECT_EQ(Field("abcdef", 7, 9), "");      // starts past the end
  EXPECT_EQ(Field("abcdef", 3, 3), "c");     // a field of one byte
  EXPECT_EQ(Field("abc", 3, 9), "c");        // the record ends after its first byte
}

TEST(ToDisplayText, Utf8WhenValidElseWindows1252) {
  EXPECT_EQ(ToDisplayText("Umsatz \xE2\x82\xAC"), QString::fromUtf8("Umsatz €"));
  EXPECT_EQ(ToDisplayText("Umsatz \x80"), QString::fromUtf8("Umsatz €"));
  EXPECT_EQ(ToDisplayText("M\xFCnchen"), QString::fromUtf8("München"));
  EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x93\x88"));
  // UTF-8 at each edge: the smallest character of each length, the last before and the first
  // after the surrogates, the largest character.
  for (const std::string bytes : {"\xC2\x80", "\xE0\xA0\x80", "\xF0\x90\x80\x80", "\xED\x9F\xBF",
                                  "\xEE\x80\x80", "\xF4\x8F\xBF\xBF"}) {
    EXPECT_TRUE(IsValidUtf8(bytes)) << ToPlainLine(bytes);
  }
  // Not UTF-8: overlong forms of every length, a surrogate, past U+10FFFF, cut short. Each byte
  // is shown as its Windows-1252 character, never as U+FFFD.
  for (const std::string bytes :
       {"\xC0\x80", "\xC1\xBF", "\xE0\x80\x80", "\xE0\x9F\xBF", "\xF0\x80\x80\x80",
        "\xF0\x8F\xBF\xBF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xE2\x82"}) {
    EXPECT_FALSE(IsValidUtf8(bytes)) << ToPlainLine(bytes);
    const QString shown = ToDisplayText(bytes);
    EXPECT_EQ(shown.size(), qsizetype(bytes.size())) << ToPlainLine(bytes);
    EXPECT_FALSE(shown.contains(QChar(0xFFFD))) << ToPlainLine(bytes);
  }
}

// A writer that cuts a UTF-8 text to its field's width may cut its last character: the whole
// characters show. A single high byte at the end of a text with no other is Windows-1252.
TEST(ToDisplayText, UTF8CutInsideItsLastCharacterShowsItsWholeCharacters) {
  const std::pair<std::string, const char*> cases[] = {
      {"Gem\xC3\xBCse aus S\xC3\xBC"
       "dtirol und Obe\xC3",
       "Gemüse aus Südtirol und Obe"},
      {"Umsatz \xE2\x82", "Umsatz "},
      {"Men\xC3\xBC \xF0\x9F\x93", "Menü "},
      {"Caf\xE9", "Café"},
      {"Caf\xE9 cr\xC3", "Café crÃ"},  // not UTF-8 before its end either
      {"\xC3", "Ã"},
      // Cut after each first and last lead byte of two, three and four bytes.
      {"5 \xC2\xB0 \xC2", "5 ° "},
      {"\xDF\x8A \xDF", "ߊ "},
      {"\xE0\xA4\x95 \xE0\xA4", "क "},
      {"\xEF\xBD\xB1 \xEF\xBD", "ｱ "},
      {"\xF0\x9F\x93\x88 \xF0", "📈 "},
      {"\xF4\x8F\xBF\xBD \xF4\x8F", "\U0010FFFD "},
      // A last byte that begins no UTF-8 character is no cut one: the text is Windows-1252.
      {"Gr\xC3\xBC\xC3\x9F"
       "e \xC0",
       "GrÃ¼ÃŸe À"},
  };
  for (const auto& [bytes, shown] : cases) {
    EXPECT_EQ(ToDisplayText(bytes), QString::fromUtf8(shown)) << ToPlainLine(bytes);
  }
}

TEST(ToPlainLine, ShowsControlCharactersAndKeepsEverythingElse) {
  const struct {
    std::string text, line;
  } cases[] = {{std::string("a\0b", 3), "a\\x00b"},
               {"tab\there\r\x1B[2J", "tab\\x09here\\x0D\\x1B[2J"},
               {"two\nlines", "two lines"},
               {"M\xFCnchen \x80", "M\xC3\xBCnchen \xE2\x82\xAC"},
               {"\xC2\x9B"
                "1m\x7F",
                "\\x9B1m\\x7F"},
               {"\x81", "\\x81"},
               {"\xEF\xBB\xBFpool/good1", "\\uFEFFpool/good1"},  // a byte-order mark
               {"a\xE2\x80\x8B"
                "b\xC2\xAD",
                "a\\u200Bb\\u00AD"},                       // zero width, soft hyphen
               {"\xE2\x80\xAEgpj.exe", "\\u202Egpj.exe"},  // turns the text around
               {"Stra\xC3\x9F"
                "e",
                "Stra\xC3\x9F"
                "e"}};
  for (const auto& c : cases) EXPECT_EQ(ToPlainLine(c.text), c.line) << c.line;
}

// Quoted input is cut to a readable length, never through a character.
TEST(QuotedExcerpt, CutsLongTextsAtACharactersEnd) {
  const std::string euros = "\xE2\x82\xAC\xE2\x82\xAC";
  EXPECT_EQ(QuotedExcerpt("tab\there"), "\"tab\\x09here\"");
  EXPECT_EQ(QuotedExcerpt(std::string(10 << 20, 'v')), "\"" + std::string(40, 'v') + "...\"");
  EXPECT_EQ(QuotedExcerpt(std::string(39, 'x') + euros), "\"" + std::string(39, 'x') + "...\"");
  EXPECT_EQ(QuotedExcerpt(std::string(38, 'x') + euros), "\"" + std::string(38, 'x') + "...\"");
  EXPECT_EQ(QuotedExcerpt(std::string(37, 'x') + euros),
            "\"" + std::string(37, 'x') + "\xE2\x82\xAC...\"");
}

// The system's reasons stay English inside the program's English messages, whatever the locale.
TEST(SystemReason, EnglishInEveryLocale) {
  for (const char* name : {"C", "de_DE.UTF-8"}) {
    ASSERT_NE(std::setlocale(LC_ALL, name), nullptr) << name << " is not installed";
    EXPECT_EQ(SystemReason(ENOENT), "No such file or directory") << name;
    EXPECT_EQ(SystemReason(EIO), "Input/output error") << name;
  }
  EXPECT_STRNE(std::strerror(ENOENT), "No such file or directory") << "German where asked";
  std::setlocale(LC_ALL, "C");
}

TEST(CommandLine, ParamStrCountsArgumentsFromOne) {
  char program[] = "tarvochart", first[] = " a.dbf ", second[] = "b c.dbf";
  char* argv[] = {program, first, second};
  SetCommandLine(3, argv);
  EXPECT_EQ(ParamCount(), 2);
  EXPECT_EQ(ParamStr(0), "tarvochart");
  EXPECT_EQ(ParamStr(1), " a.dbf ");
  EXPECT_EQ(ParamStr(2), "b c.dbf");
  EXPECT_EQ(ParamStr(3), "");
}

// The registry of temporary files in a child process that gets `signal`: what is registered at
// that moment goes, files before their folder, and the process ends as the signal ends it; a
// signal that the process was started with ignored stays ignored.
TEST(RemovedOnSignal, ASignalRemovesWhatIsRegisteredAndEndsTheProcess) {
  struct SignalCase {
    int signal;
    bool ignoredBefore;
  };
  for (const SignalCase c : {SignalCase{SIGINT, false}, SignalCase{SIGTERM, false},
                             SignalCase{SIGHUP, false}, SignalCase{SIGHUP, true}}) {
    SCOPED_TRACE(strsignal(c.signal) + std::string(c.ignoredBefore ? ", ignored before" : ""));
    QTemporaryDir dir;
    const std::string folder = dir.filePath("folder").toStdString();
    const std::string file = folder + "/page", kept = dir.filePath("kept").toStdString();
    const pid_t child = fork();
    if (child == 0) {
      if (c.ignoredBefore) std::signal(c.signal, SIG_IGN);
      RemoveTemporariesOnSignals();
      mkdir(folder.c_str(), 0700);
      close(open(file.c_str(), O_CREAT | O_WRONLY, 0600));
      close(open(kept.c_str(), O_CREAT | O_WRONLY, 0600));
      { const RemovedOnSignal gone(kept); }  // no longer registered
      const RemovedOnSignal registeredFirst(folder, RemovedOnSignal::Kind::Folder);
      const RemovedOnSignal registeredSecond(file);
      raise(c.signal);
      _exit(7);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    if (c.ignoredBefore) {
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 7);
      EXPECT_TRUE(QFile::exists(QString::fromStdString(file)));
    } else {
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << status;
      EXPECT_FALSE(QFile::exists(QString::fromStdString(folder)));
    }
    EXPECT_TRUE(QFile::exists(QString::fromStdString(kept)));
  }
}

// A second signal while the first one's handler removes (timeout(1) signals twice) waits for
// that removal instead of ending the process halfway. The folder here cannot go until the test
// takes out a file that nothing registered, after its second signal.
TEST(RemovedOnSignal, ASecondSignalLetsTheRemovalUnderWayFinish) {
  QTemporaryDir dir;
  const std::string folder = dir.filePath("folder").toStdString();
  const std::string blocker = folder + "/not registered";
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  if (child == 0) {
    RemoveTemporariesOnSignals();
    mkdir(folder.c_str(), 0700);
    close(open(blocker.c_str(), O_CREAT | O_WRONLY, 0600));
    const RemovedOnSignal registered(folder, RemovedOnSignal::Kind::Folder);
    // A second thread for the second signal to land on.
    std::thread([] {
      while (true) pause();
    }).detach();
    (void)!write(ready[1], "r", 1);
    while (true) pause();
  }
  char byte = 0;
  ASSERT_EQ(read(ready[0], &byte, 1), 1);
  kill(child, SIGTERM);
  usleep(5000);
  kill(child, SIGTERM);
  usleep(20000);
  unlink(blocker.c_str());
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  EXPECT_FALSE(QFile::exists(QString::fromStdString(folder)));
  close(ready[0]);
  close(ready[1]);
}

}  // namespace
