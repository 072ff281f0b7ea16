#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace sarnel {

// A tuning of the 128 MIDI notes as cents above a base frequency, read from
// tuning files (".tun": sections "[tuning]" and "[exact tuning]") or Scala
// scale files (".scl"). The editor loads one file into a fresh map, reads the
// 128 frequencies out and frees the map.
//
// Failures the user can act on set errorText() and go to the error reporter
// (the editor shows them in a message box captioned "Error" with OK and
// Cancel); loadFile then answers false. Unreadable files and texts that are
// not numbers raise FileError instead.
class CTuningMap {
public:
    static constexpr int kNoteCount = 128;
    // MIDI note 0 of equal temperament with note 69 at 440 Hz.
    static constexpr double kDefaultBaseFreq = 8.175798915643707;
    // A tuning file line of this many bytes or more stops the load.
    static constexpr std::size_t kMaxLineLength = 510;

    using ErrorReporter = std::function<void(const std::string& text)>;

    // GUI thread. Number conversion here never depends on the process locale,
    // so, unlike a global decimal-separator switch, nothing process-wide is
    // touched (the host owns its locale).
    CTuningMap();

    // The editor passes a reporter that shows the message box; without one the
    // message is only kept in errorText().
    void setErrorReporter(ErrorReporter reporter);

    // GUI thread.
    void reset();
    // GUI thread. Resets, then reads the file by its extension (".scl", any
    // case, for Scala files; anything else is a tuning file).
    bool loadFile(const std::string& path);

    // GUI thread. Clears errorText(); cents of note n, or n × 100 outside
    // 0 … 127.
    double noteCents(int n);
    // GUI thread. 2^(noteCents(n) ÷ 1200) × baseFrequency().
    double noteFrequency(int n);
    double baseFrequency() const { return baseFreq; }
    const std::string& errorText() const { return errorTextValue; }

    // Spaces and tabs off the start, and off the end while more than one
    // character remains.
    static std::string trimBlanks(std::string_view text);

private:
    bool loadTuningFile(const std::string& path);
    bool loadScalaFile(const std::string& path);
    bool fail(std::string text);

    std::array<double, kNoteCount> cents{};
    double baseFreq = kDefaultBaseFreq;
    std::string errorTextValue;
    ErrorReporter reporter;
};

} // namespace sarnel
