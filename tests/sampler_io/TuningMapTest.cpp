#include "sampler/io/CTuningMap.h"
#include "sampler/io/FileError.h"
#include "sampler/io/NumberText.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>
#include <vector>

using sarnel::CTuningMap;
using sarnel::FileError;
using sarnel::test::TempDir;

namespace {

// Loads `text` as a file of that name; collects what the map reports.
struct Loaded {
    bool ok = false;
    std::vector<std::string> reported;
};

Loaded loadText(CTuningMap& map, const TempDir& dir, const std::string& name, const std::string& text) {
    Loaded result;
    map.setErrorReporter([&result](const std::string& message) { result.reported.push_back(message); });
    result.ok = map.loadFile(dir.write(name, text));
    return result;
}

std::string errorOf(const std::string& name, const std::string& text) {
    TempDir dir;
    CTuningMap map;
    const Loaded loaded = loadText(map, dir, name, text);
    EXPECT_FALSE(loaded.ok);
    EXPECT_EQ(loaded.reported, std::vector<std::string>{map.errorText()});
    return map.errorText();
}

std::string conversionErrorOf(const std::string& name, const std::string& text) {
    TempDir dir;
    CTuningMap map;
    try {
        map.loadFile(dir.write(name, text));
    } catch (const FileError& error) {
        return error.what();
    }
    ADD_FAILURE() << "no conversion error";
    return {};
}

void expectEqualTemperament(CTuningMap& map, int from, int to) {
    for (int n = from; n <= to; ++n)
        EXPECT_EQ(map.noteCents(n), n * 100.0) << "note " << n;
}

} // namespace

TEST(TuningMap, ResetIsEqualTemperamentAtA440) {
    CTuningMap map;
    // 8.175798915643707 × 2^5.75 computed in double: a few ulps from 440.
    EXPECT_NEAR(map.noteFrequency(69), 440.0, 440.0 * 4e-16 * 4);
    EXPECT_NEAR(map.noteFrequency(60), 261.6255653005986, 1e-12);
    EXPECT_EQ(map.baseFrequency(), 8.175798915643707);
    EXPECT_EQ(map.noteCents(-1), -100.0);
    EXPECT_EQ(map.noteCents(128), 12800.0);
    EXPECT_TRUE(map.errorText().empty());
}

TEST(TuningMap, TrimBlanksKeepsInnerBlanks) {
    EXPECT_EQ(CTuningMap::trimBlanks(" \t note 1 \t"), "note 1");
    EXPECT_EQ(CTuningMap::trimBlanks("\t \t"), "");
    EXPECT_EQ(CTuningMap::trimBlanks("x"), "x");
    EXPECT_EQ(CTuningMap::trimBlanks(""), "");
}

TEST(TuningFile, IntegerSectionSetsWholeCents) {
    TempDir dir;
    CTuningMap map;
    // Only [Tuning] and note 69=6900: the reset tuning.
    ASSERT_TRUE(loadText(map, dir, "a.tun", "[Tuning]\r\nnote 69=6900\r\n").ok);
    expectEqualTemperament(map, 0, 127);

    const Loaded loaded =
        loadText(map, dir, "b.TUN", "; comment\n[TUNING]\nNote 0 = -50\n  note  5=512\nnote 200=1\nfoo=bar\n");
    ASSERT_TRUE(loaded.ok);
    EXPECT_TRUE(loaded.reported.empty());
    EXPECT_EQ(map.noteCents(0), -50.0);
    EXPECT_EQ(map.noteCents(5), 512.0);
    expectEqualTemperament(map, 6, 127);
    EXPECT_EQ(map.baseFrequency(), CTuningMap::kDefaultBaseFreq);
}

TEST(TuningFile, ExactSectionRepeatsNotesWithThePeriodOfTheHighest) {
    TempDir dir;
    CTuningMap map;
    ASSERT_TRUE(loadText(map, dir, "e.tun",
                         "[Exact Tuning]\nnote 0=0\nnote 1=100.5\nnote 2=200\nnote 12=1200\n").ok);
    EXPECT_EQ(map.noteCents(1), 100.5);
    expectEqualTemperament(map, 3, 11); // not given, not repeated: reset values
    EXPECT_EQ(map.noteCents(12), 1200.0);
    EXPECT_EQ(map.noteCents(13), 1300.5);
    EXPECT_EQ(map.noteCents(14), 1400.0);
    EXPECT_EQ(map.noteCents(15), 1500.0); // note 3 (reset 300) + 1200
    EXPECT_EQ(map.noteCents(25), 2500.5);
    EXPECT_EQ(map.noteCents(127), 127 / 12 * 1200.0 + 700.0);
}

TEST(TuningFile, ExactSectionBaseFrequencyAndPrecedenceOverIntegerSection) {
    TempDir dir;
    CTuningMap map;
    std::string text = "[tuning]\nnote 0=5000\n[exact tuning]\nbasefreq=440\n";
    for (int n = 0; n <= 12; ++n)
        text += "note " + std::to_string(n) + "=" + std::to_string(n * 100) + "\n";
    ASSERT_TRUE(loadText(map, dir, "x.tun", text).ok);
    EXPECT_EQ(map.baseFrequency(), 440.0);
    EXPECT_EQ(map.noteFrequency(0), 440.0); // the integer section is not used
    EXPECT_EQ(map.noteFrequency(12), 880.0);
}

TEST(TuningFile, HighestIndexOutsideTheRangeDisablesRepetition) {
    TempDir dir;
    CTuningMap map;
    ASSERT_TRUE(loadText(map, dir, "o.tun", "[exact tuning]\nnote 1=150\nnote 300=7\n").ok);
    EXPECT_EQ(map.noteCents(1), 150.0);
    expectEqualTemperament(map, 2, 127);
}

TEST(TuningFile, OtherSectionsAndLinesOutsideSectionsAreIgnored) {
    TempDir dir;
    CTuningMap map;
    ASSERT_TRUE(loadText(map, dir, "s.tun",
                         "no equals before any section\n[info]\nname has no equals\n[tuning]\nnote 1=150\n").ok);
    EXPECT_EQ(map.noteCents(1), 150.0);
}

TEST(TuningFile, MessagesWithLineNumbers) {
    // Empty lines produce no line and are not counted.
    EXPECT_EQ(errorOf("a.tun", "[tuning] ; comment\n"),
              "Syntax error: Section-tag must be the only string in the line! (line 1)");
    EXPECT_EQ(errorOf("b.tun", "\n\n[tuning]\r\n\r\nnote 1 100\n"), "Syntax error: \"=\" missing! (line 2)");
    EXPECT_EQ(errorOf("c.tun", "; nothing here\n[other]\nx=1\n"), "No tuning data found!");
    EXPECT_EQ(errorOf("d.tun", ""), "No tuning data found!");
}

TEST(TuningFile, LinesOf510BytesOrMoreStopTheLoad) {
    const std::string comment509 = ";" + std::string(508, 'x');
    TempDir dir;
    CTuningMap map;
    EXPECT_TRUE(loadText(map, dir, "ok.tun", comment509 + "\n[tuning]\n").ok);
    EXPECT_EQ(errorOf("long.tun", "[tuning]\n" + comment509 + "x\n"), "Line too long (line 2)");
    // A 0 byte ends a line like a line feed does.
    std::string withZero = "[tuning]";
    withZero.push_back('\0');
    withZero += "note 2=1\n";
    EXPECT_TRUE(loadText(map, dir, "zero.tun", withZero).ok);
    EXPECT_EQ(map.noteCents(2), 1.0);
}

TEST(TuningFile, FailedLoadKeepsWhatWasReadBefore) {
    TempDir dir;
    CTuningMap map;
    EXPECT_FALSE(loadText(map, dir, "f.tun", "[exact tuning]\nbasefreq=100\nnote 3=333\nbroken\n").ok);
    EXPECT_EQ(map.baseFrequency(), 100.0);
    EXPECT_EQ(map.noteCents(3), 333.0);
    // noteCents clears the message.
    EXPECT_TRUE(map.errorText().empty());
}

TEST(TuningFile, NumbersThatAreNotNumbersRaise) {
    EXPECT_EQ(conversionErrorOf("a.tun", "[tuning]\nnote 1=1.5\n"), "'1.5' is not a valid integer value");
    EXPECT_EQ(conversionErrorOf("b.tun", "[tuning]\nnotes=1\n"), "'s' is not a valid integer value");
    EXPECT_EQ(conversionErrorOf("c.tun", "[exact tuning]\nnote 1=1,5\n"),
              "'1,5' is not a valid floating point value");
    EXPECT_EQ(conversionErrorOf("d.tun", "[exact tuning]\nbasefreq=nan\n"),
              "'nan' is not a valid floating point value");
    TempDir dir;
    CTuningMap map;
    EXPECT_THROW(map.loadFile(dir.path("missing.tun")), FileError);
    EXPECT_THROW(map.loadFile(dir.path("missing.scl")), FileError);
}

TEST(NumberText, ParsesWithAPointWhateverTheLocale) {
    // A locale with a decimal comma, when the system has one.
    const char* const commaLocales[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "German_Germany.1252"};
    std::string previous = std::setlocale(LC_ALL, nullptr);
    bool commaLocale = false;
    for (const char* name : commaLocales)
        if (std::setlocale(LC_ALL, name)) {
            commaLocale = true;
            break;
        }
    const double parsed = sarnel::parseReal(" -12.5e1");
    const std::int32_t integer = sarnel::parseInteger("  +42");
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(parsed, -125.0);
    EXPECT_EQ(integer, 42);
    EXPECT_THROW(sarnel::parseInteger("2147483648"), FileError);
    EXPECT_EQ(sarnel::parseInteger("-2147483648"), INT32_MIN);
    EXPECT_THROW(sarnel::parseInteger("1 "), FileError);
    EXPECT_THROW(sarnel::parseInteger("--1"), FileError);
    EXPECT_THROW(sarnel::parseReal("1e999"), FileError);
    EXPECT_THROW(sarnel::parseReal("0x10"), FileError);
    EXPECT_THROW(sarnel::parseReal(""), FileError);
    if (!commaLocale)
        std::printf("note: no decimal-comma locale installed; parsed in the current one\n");
}

TEST(ScalaFile, EqualStepsGiveEqualTemperament) {
    std::string text = "! 12tet.scl\n!\n12-tone equal temperament\n 12\n!\n";
    for (int step = 1; step <= 12; ++step)
        text.append(" ").append(std::to_string(step * 100)).append(".0\n");
    TempDir dir;
    CTuningMap map;
    ASSERT_TRUE(loadText(map, dir, "12tet.SCL", text).ok);
    expectEqualTemperament(map, 0, 127);
    EXPECT_EQ(map.baseFrequency(), CTuningMap::kDefaultBaseFreq);
}

TEST(ScalaFile, PitchFormsCentsRatiosAndIntegers) {
    // Three degrees: 3/2 (ratio), 701.955 (cents) and 2 (integer ratio).
    TempDir dir;
    CTuningMap map;
    ASSERT_TRUE(loadText(map, dir, "p.scl", "forms\n3\n 3 / 2 fifth\n701.955 cents\n2\n").ok);
    const double fifth = 1200.0 * std::log2(1.5);
    EXPECT_NEAR(fifth, 701.955, 5e-4);
    EXPECT_EQ(map.noteCents(0), -1200.0 + 1200.0); // the last degree, an octave down
    EXPECT_EQ(map.noteCents(1), fifth);
    EXPECT_EQ(map.noteCents(2), 701.955);
    EXPECT_EQ(map.noteCents(3), 1200.0);
    EXPECT_EQ(map.noteCents(4), 1200.0 + fifth);
    EXPECT_EQ(map.noteCents(127), 42 * 1200.0 + fifth); // (127 − 1) div 3 = 42
}

TEST(ScalaFile, DenominatorZeroCountsAsOneAndBlocksAddOctaves) {
    TempDir dir;
    CTuningMap map;
    // A last degree that is no octave: each block still adds 1200 cents.
    ASSERT_TRUE(loadText(map, dir, "d.scl", "; comment\n\ndesc\n2\n5/0\n3/1\n").ok);
    const double fiveToOne = 1200.0 * std::log2(5.0);
    const double three = 1200.0 * std::log2(3.0);
    EXPECT_EQ(map.noteCents(0), -1200.0 + three);
    EXPECT_EQ(map.noteCents(1), fiveToOne);
    EXPECT_EQ(map.noteCents(2), three);
    EXPECT_EQ(map.noteCents(3), 1200.0 + fiveToOne);
}

TEST(ScalaFile, BrokenCountsAndTooManyPitchesGiveMessages) {
    EXPECT_EQ(errorOf("none.scl", "description only\n"), "Scale file has no valid number of notes (1 to 128)!");
    EXPECT_EQ(errorOf("zero.scl", "d\n0\n100.0\n"), "Scale file has no valid number of notes (1 to 128)!");
    EXPECT_EQ(errorOf("neg.scl", "d\n-3\n100.0\n"), "Scale file has no valid number of notes (1 to 128)!");
    EXPECT_EQ(errorOf("big.scl", "d\n129\n100.0\n"), "Scale file has no valid number of notes (1 to 128)!");
    std::string many = "d\n128\n";
    for (int i = 1; i <= 129; ++i)
        many += std::to_string(i) + ".0\n";
    EXPECT_EQ(errorOf("many.scl", many), "Scale file has more than 128 pitch lines (line 131)");
    EXPECT_EQ(errorOf("ratio.scl", "d\n1\n-3/2\n"), "Invalid pitch in scale file (line 3)");
    EXPECT_EQ(errorOf("int.scl", "d\n1\n0\n"), "Invalid pitch in scale file (line 3)");
    EXPECT_EQ(conversionErrorOf("count.scl", "d\ntwelve\n"), "'twelve' is not a valid integer value");
}

TEST(ScalaFile, ExactlyOneHundredTwentyEightDegreesLoad) {
    std::string text = "d\n128\n";
    for (int i = 1; i <= 128; ++i)
        text += std::to_string(i * 10) + ".0\n";
    TempDir dir;
    CTuningMap map;
    ASSERT_TRUE(loadText(map, dir, "full.scl", text).ok);
    EXPECT_EQ(map.noteCents(0), -1200.0 + 1280.0);
    EXPECT_EQ(map.noteCents(127), 1270.0);
}
