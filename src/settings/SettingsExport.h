#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <array>
#include <vector>

// The settings export file (".KVPS"): a header line, then one "key©value" line per option, CR LF line ends,
// written as UTF-8 and read as UTF-8 or, when the bytes are not UTF-8, as Windows-1252 (files exported on
// Windows).
namespace SettingsExport {

inline const QString kHeaderKey = QStringLiteral("Quelba Kivo Player Settings Export");
inline constexpr QChar kSeparator = QChar(0x00A9); // ©

// What an export writes, as the options window holds it.
struct Values {
    QString caption; // the header's value: the options window's caption
    std::array<QString, 10> presets;
    std::array<QString, 10> preNames;
    int onTop = 0; // check box state
    double startColour = 0;
    bool closeOnFinish = false;
    bool playlistOnExit = false;
    QString autoSavePath;
    int soeStartPath = 0; // check box state
    QString addedExten;
    bool showTabC = false;
    QString devicePath;
    bool nameConvert = false;
    QString vidExten;
    bool useJoystick = false;
    // PlayStop, Exit, Paws, Skip, BringToTop, Special1, Special2, Random, CopyToOther.
    std::array<int, 9> joystickCodes{};
};

// The keys of the joystick codes, in the order above and of the file.
extern const std::array<QString, 9> kJoystickKeys;

// The whole file.
QByteArray write(const Values& values);

// One line an import acts on: the key upper-cased, the value as written (blanks kept).
struct Line {
    QString key;
    QString value;
};
// The lines an import acts on, in file order: lines that do not split into exactly one key and one value,
// the header and unknown keys are left out.
std::vector<Line> read(QByteArrayView bytes);

// A number in the print layout of numbers: a blank (or a minus sign) before it, one blank after.
QString numberText(double number);
// The number at the start of a text, blanks before it skipped; 0 when there is none.
double leadingNumber(QStringView text);
// The file name an export writes: the chosen name, with ".KVPS" added unless it already ends so (any case).
QString fileNameFor(const QString& chosen);

} // namespace SettingsExport
