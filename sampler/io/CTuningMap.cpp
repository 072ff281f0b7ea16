#include "CTuningMap.h"

#include "FileError.h"
#include "NumberText.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <utility>

namespace sarnel {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Both readers use the C runtime's fopen: it does not lock the file against
// other users, and a narrow path is used as the platform's own file name.
FileHandle openForReading(const std::string& path) {
    FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file)
        throw FileError("Cannot open file \"" + path + "\".");
    return file;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

char toLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char toUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string upperExtension(const std::string& path) {
    const std::size_t dot = path.find_last_of('.');
    const std::size_t separator = path.find_last_of("/\\:");
    if (dot == std::string::npos || (separator != std::string::npos && separator > dot))
        return {};
    std::string extension = path.substr(dot);
    for (char& c : extension)
        c = toUpperAscii(c);
    return extension;
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// Tuning file lines end at a 0 byte, a line feed or a carriage return;
// terminators at the start of a line are skipped, so empty lines produce
// nothing and are not counted.
enum class LineResult { line, endOfFile, tooLong };

bool isLineTerminator(int c) { return c == 0 || c == '\n' || c == '\r'; }

LineResult readTuningLine(std::FILE* file, std::string& line) {
    line.clear();
    int c = std::fgetc(file);
    while (c != EOF && isLineTerminator(c))
        c = std::fgetc(file);
    if (c == EOF)
        return LineResult::endOfFile;
    while (c != EOF && !isLineTerminator(c)) {
        line.push_back(static_cast<char>(c));
        if (line.size() >= CTuningMap::kMaxLineLength)
            return LineResult::tooLong;
        c = std::fgetc(file);
    }
    // A read error ends the line like the end of the file does; the next call
    // then reports the end.
    return LineResult::line;
}

// Scala files are plain text: lines end at CR, LF or CR LF.
bool readTextLine(std::FILE* file, std::string& line) {
    line.clear();
    int c = std::fgetc(file);
    if (c == EOF)
        return false;
    while (c != EOF && c != '\n' && c != '\r') {
        line.push_back(static_cast<char>(c));
        c = std::fgetc(file);
    }
    if (c == '\r') {
        const int next = std::fgetc(file);
        if (next != '\n' && next != EOF)
            std::ungetc(next, file);
    }
    return true;
}

std::string lineSuffix(int lineNumber) { return " (line " + std::to_string(lineNumber) + ")"; }

std::string_view cutBeforeFirstSpace(std::string_view text) {
    return text.substr(0, text.find(' '));
}

} // namespace

CTuningMap::CTuningMap() { reset(); }

void CTuningMap::setErrorReporter(ErrorReporter newReporter) { reporter = std::move(newReporter); }

void CTuningMap::reset() {
    errorTextValue.clear();
    baseFreq = kDefaultBaseFreq;
    for (int n = 0; n < kNoteCount; ++n)
        cents[static_cast<std::size_t>(n)] = n * 100.0;
}

double CTuningMap::noteCents(int n) {
    errorTextValue.clear();
    if (n < 0 || n >= kNoteCount)
        return n * 100.0;
    return cents[static_cast<std::size_t>(n)];
}

double CTuningMap::noteFrequency(int n) { return std::pow(2.0, noteCents(n) / 1200.0) * baseFreq; }

std::string CTuningMap::trimBlanks(std::string_view text) {
    std::size_t begin = 0;
    while (begin < text.size() && isBlank(text[begin]))
        ++begin;
    std::string_view rest = text.substr(begin);
    while (rest.size() > 1 && isBlank(rest.back()))
        rest.remove_suffix(1);
    return std::string(rest);
}

bool CTuningMap::fail(std::string text) {
    errorTextValue = std::move(text);
    if (reporter)
        reporter(errorTextValue);
    return false;
}

bool CTuningMap::loadFile(const std::string& path) {
    reset();
    if (upperExtension(path) == ".SCL")
        return loadScalaFile(path);
    return loadTuningFile(path);
}

bool CTuningMap::loadTuningFile(const std::string& path) {
    // Whole-cent values of the "[tuning]" section, used only when no
    // "[exact tuning]" section is present.
    std::array<int, kNoteCount> wholeCents{};
    for (int n = 0; n < kNoteCount; ++n)
        wholeCents[static_cast<std::size_t>(n)] = static_cast<int>(std::nearbyint(cents[static_cast<std::size_t>(n)]));

    const FileHandle file = openForReading(path);

    enum class Section { none, other, tuning, exact };
    Section section = Section::none;
    bool tuningSeen = false;
    bool exactSeen = false;
    int highestExactNote = -1;

    std::string raw;
    for (int lineNumber = 1;; ++lineNumber) {
        const LineResult result = readTuningLine(file.get(), raw);
        if (result == LineResult::endOfFile)
            break;
        if (result == LineResult::tooLong)
            return fail("Line too long" + lineSuffix(lineNumber));
        for (char& c : raw)
            c = toLowerAscii(c);
        const std::string line = trimBlanks(raw);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            if (line.back() != ']')
                return fail("Syntax error: Section-tag must be the only string in the line!" +
                            lineSuffix(lineNumber));
            if (line == "[tuning]") {
                section = Section::tuning;
                tuningSeen = true;
            } else if (line == "[exact tuning]") {
                section = Section::exact;
                exactSeen = true;
            } else {
                section = Section::other;
            }
            continue;
        }
        if (section != Section::tuning && section != Section::exact)
            continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos)
            return fail("Syntax error: \"=\" missing!" + lineSuffix(lineNumber));
        const std::string key = trimBlanks(std::string_view(line).substr(0, equals));
        const std::string value = trimBlanks(std::string_view(line).substr(equals + 1));
        if (startsWith(key, "note")) {
            const int index = parseInteger(std::string_view(key).substr(4));
            const bool inRange = index >= 0 && index < kNoteCount;
            if (section == Section::tuning) {
                if (inRange)
                    wholeCents[static_cast<std::size_t>(index)] = parseInteger(value);
            } else {
                if (inRange)
                    cents[static_cast<std::size_t>(index)] = parseReal(value);
                if (index > highestExactNote)
                    highestExactNote = index;
            }
        } else if (section == Section::exact && startsWith(key, "basefreq")) {
            baseFreq = parseReal(value);
        }
    }

    if (exactSeen) {
        // Notes 0 … m repeat with the period of note m.
        const int m = highestExactNote;
        if (m >= 0 && m < kNoteCount - 1) {
            const double period = cents[static_cast<std::size_t>(m)];
            for (int n = m; n < kNoteCount; ++n)
                cents[static_cast<std::size_t>(n)] = cents[static_cast<std::size_t>(n - m)] + period;
        }
    } else if (tuningSeen) {
        for (int n = 0; n < kNoteCount; ++n)
            cents[static_cast<std::size_t>(n)] = wholeCents[static_cast<std::size_t>(n)];
    } else {
        return fail("No tuning data found!");
    }
    return true;
}

bool CTuningMap::loadScalaFile(const std::string& path) {
    std::array<double, kNoteCount> scale{};
    int degreeCount = 0;
    int countedLines = 0;

    const FileHandle file = openForReading(path);
    std::string raw;
    for (int lineNumber = 1; readTextLine(file.get(), raw); ++lineNumber) {
        const std::string line = trimBlanks(raw);
        if (line.empty() || line.front() == '!' || line.front() == ';')
            continue;
        ++countedLines;
        if (countedLines == 1)
            continue; // the description
        if (countedLines == 2) {
            if (degreeCount == 0)
                degreeCount = parseInteger(line);
            continue;
        }
        const int degree = countedLines - 3;
        if (degree >= kNoteCount)
            return fail("Scale file has more than 128 pitch lines" + lineSuffix(lineNumber));

        const std::size_t slash = line.find('/');
        const std::size_t dot = line.find('.');
        double pitch = 0.0;
        if (slash != std::string::npos && (dot == std::string::npos || dot > slash)) {
            const std::string_view text(line);
            const std::int32_t numerator = parseInteger(trimBlanks(text.substr(0, slash)));
            std::int32_t denominator =
                parseInteger(cutBeforeFirstSpace(trimBlanks(text.substr(slash + 1))));
            if (denominator == 0)
                denominator = 1;
            const double ratio = static_cast<double>(numerator) / static_cast<double>(denominator);
            // log2 of a ratio of zero or below has no pitch.
            if (!(ratio > 0.0))
                return fail("Invalid pitch in scale file" + lineSuffix(lineNumber));
            pitch = 1200.0 * std::log2(ratio);
        } else if (dot != std::string::npos) {
            pitch = parseReal(cutBeforeFirstSpace(line));
        } else {
            const std::int32_t number = parseInteger(line);
            if (number <= 0)
                return fail("Invalid pitch in scale file" + lineSuffix(lineNumber));
            pitch = 1200.0 * std::log2(static_cast<double>(number));
        }
        scale[static_cast<std::size_t>(degree)] = pitch;
    }

    if (degreeCount < 1 || degreeCount > kNoteCount)
        return fail("Scale file has no valid number of notes (1 to 128)!");

    const std::size_t b = static_cast<std::size_t>(degreeCount);
    cents[0] = -1200.0 + scale[b - 1];
    for (std::size_t n = 1; n < kNoteCount; ++n)
        cents[n] = static_cast<double>(((n - 1) / b) * 1200) + scale[(n - 1) % b];
    return true;
}

} // namespace sarnel
