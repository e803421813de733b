// The exercise window as the reader sees it: where each mode puts the text,
// the fixation marks and clearings on the surface, the stage clock, the
// pause key and closing, on the whole program started in a temporary folder.

#include "TestSupport.h"
#include "app/Program.h"
#include "app/MainWindow.h"
#include "engine/ExerciseWindow.h"
#include "engine/SpeedIndicator.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <vector>

namespace vistorel {
namespace {

constexpr TColor kBack = 0xD0E0F0;  // a light background, far from black
constexpr TColor kText = 0x800020;

// A text of exactly n characters.
QString Chars(int n) { return QStringLiteral("строка ").repeated(n).left(n); }

QByteArray Utf8(const QString& text) { return text.toUtf8(); }

// The program with a current text, its main window up as the user sees it.
class Exercise {
public:
    explicit Exercise(const QByteArray& text, const std::function<void(test::StartDirectory&)>& more = {})
        : p([&](test::StartDirectory& dir) {
              dir.Write(QStringLiteral("text.txt"), text);
              if (more) more(dir);
          }) {
        p->SettingsRecord.TextPath.SetText(QStringLiteral("text.txt"));
        p->SettingsRecord.FontSize = 12;
        p->SettingsRecord.BackColor = kBack;
        p->SettingsRecord.TextColor = kText;
        p->mainWindow->ShowMaximized();
    }

    // Start as the main window's Start button does, errors going to the recorder.
    void Start() {
        p.Test.App.Guard([this] { p->mainWindow->BeginExercise(); });
    }
    void Step(int n = 1) {
        for (int i = 0; i < n; ++i) Window().OnStepTick();
    }
    void Next(int n = 1) {
        for (int i = 0; i < n; ++i) p->mainWindow->SkipStage();
    }
    void StageTicks(int n) {
        for (int i = 0; i < n; ++i) Window().OnStageTick();
    }

    ExerciseWindow& Window() const { return *p->exerciseWindow; }
    Label& Text() const { return p->exerciseWindow->wordLabel; }
    QPoint TextAt() const { return {Text().Left(), Text().Top()}; }
    TColor Pixel(int x, int y) const { return p->exerciseWindow->Canvas.Pixel(x, y); }

    // Columns of a surface row that are black, the window's outline excluded.
    std::vector<int> BlackColumns(int y) const {
        std::vector<int> columns;
        for (int x = 1; x < Window().ClientWidth() - 1; ++x) {
            if (Pixel(x, y) == clBlack) columns.push_back(x);
        }
        return columns;
    }

    test::ProgramUnderTest p;
};

using Columns = std::vector<int>;

// Start opens the window with both timers on; mode 1 centres each word from
// the current window size, in the chosen colour and size.
TEST(ExerciseWindow, StartShowsTheWordsOfTheTextCentred) {
    Exercise e(Utf8(QStringLiteral("слово второе, третье\n")));
    EXPECT_FALSE(e.Window().Visible());
    e.Start();
    EXPECT_TRUE(e.p.Test.Errors.Messages.isEmpty());
    EXPECT_TRUE(e.Window().Visible());
    EXPECT_EQ(e.Window().Width(), 647);
    EXPECT_EQ(e.Window().Height(), 320);
    EXPECT_TRUE(e.Window().stepTimer.Enabled());
    EXPECT_TRUE(e.Window().stageTimer.Enabled());
    EXPECT_EQ(e.Window().stepTimer.Interval(), 1000);
    EXPECT_EQ(e.Pixel(320, 200), kBack);

    e.Step();
    EXPECT_EQ(e.Text().Caption(), QStringLiteral("слово "));
    EXPECT_EQ(e.TextAt(), QPoint(323 - 36, 120));
    EXPECT_GT(e.Text().Width(), 0);
    EXPECT_EQ(e.Text().Font().Size(), 12);
    // The word is drawn in the text colour.
    const QImage shot = e.Window().Widget()->grab().toImage();
    bool textColour = false;
    for (int y = e.Text().Top(); y < e.Text().Top() + e.Text().Height() && !textColour; ++y) {
        for (int x = e.Text().Left(); x < e.Text().Left() + e.Text().Width(); ++x) {
            if (shot.pixelColor(x, y) == ToQColor(kText)) textColour = true;
        }
    }
    EXPECT_TRUE(textColour);

    e.Step();
    EXPECT_EQ(e.Text().Caption(), QStringLiteral("второе "));
    EXPECT_EQ(e.TextAt(), QPoint(323 - 42, 120));
    // A resized window centres the next word in its new size.
    e.Window().SetOuterSize(800, 400);
    e.Step();
    EXPECT_EQ(e.Text().Caption(), QStringLiteral("третье "));
    EXPECT_EQ(e.TextAt(), QPoint(400 - 42, 160));
    e.Step();
    EXPECT_EQ(e.Text().Caption(), QStringLiteral("слово "));
}

// Mode 2 shows two words five spaces apart, placed by a third of the estimated width.
TEST(ExerciseWindow, WordPairsAreShownFiveSpacesApart) {
    Exercise e(Utf8(QStringLiteral("раз, два. три - четыре\n")));
    e.Start();
    e.Next();
    e.Step();
    EXPECT_EQ(e.Text().Caption(), QStringLiteral("раз      два "));
    EXPECT_EQ(e.TextAt(), QPoint(323 - 13 * 12 / 3, 120));
    e.Step();
    EXPECT_EQ(e.Text().Caption(), QStringLiteral("три      четыре "));
    EXPECT_EQ(e.TextAt(), QPoint(323 - 16 * 12 / 3, 120));
}

// Mode 3 moves the word 40 pixels right per step, wraps to 10 past W - 180,
// and leaves the label's height where it was.
TEST(ExerciseWindow, SweepMovesRightWrapsAndKeepsTheTop) {
    Exercise e(Utf8(QStringLiteral("a b c d e f g h i j k l m n o p\n")));
    e.Start();
    e.Next();
    e.Step();  // mode 2 leaves the text at H / 2 - 40 = 120
    e.Next();
    e.Window().SetOuterSize(647, 400);
    std::vector<int> lefts;
    for (int i = 0; i < 13; ++i) {
        e.Step();
        lefts.push_back(e.Text().Left());
        EXPECT_EQ(e.Text().Top(), 120);
    }
    EXPECT_EQ(lefts, (std::vector<int>{50, 90, 130, 170, 210, 250, 290, 330, 370, 410, 450, 10, 50}));
    EXPECT_EQ(e.Text().Caption(), QStringLiteral("o "));
}

// Mode 4 without the smart divider: each line stays for as many steps as it
// has marks; two marks under 40 characters, three over, none of its own at
// exactly 40; each new line clears the marks of the one before.
TEST(ExerciseWindow, LinesCarryTwoOrThreeFixationMarks) {
    const QString lines[] = {Chars(30), Chars(41), Chars(40), QStringLiteral("конец")};
    Exercise e(Utf8(lines[0] + u'\n' + lines[1] + u'\n' + lines[2] + u'\n' + lines[3] + u'\n'));
    e.Start();
    e.Next(3);

    // 30 characters at P = 12: left = 323 - 120, marks every 120 pixels.
    e.Step();
    EXPECT_EQ(e.Text().Caption(), lines[0]);
    EXPECT_EQ(e.TextAt(), QPoint(203, 160));
    EXPECT_EQ(e.BlackColumns(10), (Columns{203 + 120 - 30}));
    e.Step();
    EXPECT_EQ(e.Text().Caption(), lines[0]);
    EXPECT_EQ(e.BlackColumns(10), (Columns{203 + 120 - 30, 203 + 240 - 30}));
    // A mark runs from the top to the bottom of the window.
    EXPECT_EQ(e.Pixel(413, 1), clBlack);
    EXPECT_EQ(e.Pixel(413, 318), clBlack);
    EXPECT_EQ(e.Pixel(412, 318), kBack);

    // 41 characters: three marks, d = (41 * 12) / 5 = 98, left = 323 - 164.
    const int d = 41 * 12 / 5;
    e.Step();
    EXPECT_EQ(e.Text().Caption(), lines[1]);
    EXPECT_EQ(e.TextAt(), QPoint(159, 160));
    EXPECT_EQ(e.BlackColumns(10), (Columns{159 + d - 30}));
    EXPECT_EQ(e.Pixel(293, 200), kBack);
    e.Step(2);
    EXPECT_EQ(e.Text().Caption(), lines[1]);
    const Columns threeMarks{159 + d - 30, 159 + 2 * d - 30, 159 + 3 * d - 30};
    EXPECT_EQ(e.BlackColumns(10), threeMarks);

    // 40 characters: its own place, the marks of the line before.
    e.Step();
    EXPECT_EQ(e.Text().Caption(), lines[2]);
    EXPECT_EQ(e.TextAt(), QPoint(323 - 160, 160));
    e.Step(2);
    EXPECT_EQ(e.Text().Caption(), lines[2]);
    EXPECT_EQ(e.BlackColumns(10), threeMarks);

    e.Step(2);
    EXPECT_EQ(e.Text().Caption(), lines[3]);
    EXPECT_EQ(e.BlackColumns(10), (Columns{303 + 20 - 30, 303 + 40 - 30}));
    // After the last line the text starts again.
    e.Step();
    EXPECT_EQ(e.Text().Caption(), lines[0]);
    EXPECT_EQ(e.BlackColumns(10), (Columns{293}));
}

// Mode 4 with the smart divider: lines of more than 64 characters assembled
// from words, three marks at sevenths of the estimated width.
TEST(ExerciseWindow, SmartLinesAreAssembledFromWords) {
    QStringList words;
    for (int k = 1; k <= 26; ++k) words.append(QStringLiteral("a%1").arg(k, 2, 10, QLatin1Char('0')));
    Exercise e(Utf8(words.join(u' ') + u'\n'));
    e.p->SettingsRecord.SmartDivider = 1;
    e.Start();
    e.Next(3);

    // 13 words of 3 letters, each followed by two spaces: 65 characters.
    e.Step();
    const QString first = e.Text().Caption();
    EXPECT_EQ(first.size(), 65);
    EXPECT_TRUE(first.startsWith(QStringLiteral("a01  a02  ")));
    EXPECT_TRUE(first.endsWith(QStringLiteral("a13  ")));
    const int left = 323 - (65 * 12 / 4 + 14);
    const int d = 65 * 12 / 7;
    EXPECT_EQ(e.TextAt(), QPoint(left, 120));
    EXPECT_EQ(e.BlackColumns(10), (Columns{left + d - 30}));
    e.Step(2);
    EXPECT_EQ(e.Text().Caption(), first);
    EXPECT_EQ(e.BlackColumns(10), (Columns{left + d - 30, left + 2 * d - 30, left + 3 * d - 30}));
    e.Step();
    EXPECT_TRUE(e.Text().Caption().startsWith(QStringLiteral("a14  ")));
    EXPECT_EQ(e.BlackColumns(10), (Columns{left + d - 30}));
}

// Mode 5 clears the window and puts each word at a random place that leaves
// room for it; a window too small for that puts it in the corner.
TEST(ExerciseWindow, RandomPlacesClearTheWindowAndStayInside) {
    QStringList words;
    for (int k = 0; k < 50; ++k) words.append(QStringLiteral("слово%1").arg(k));
    Exercise e(Utf8(words.join(u' ') + u'\n'));
    e.Start();
    e.Next(3);
    e.Step(2);
    ASSERT_FALSE(e.BlackColumns(10).empty());
    e.Next();

    std::set<int> lefts;
    std::set<int> tops;
    for (int i = 0; i < 30; ++i) {
        e.Step();
        EXPECT_TRUE(e.BlackColumns(10).empty());
        EXPECT_EQ(e.Pixel(293, 200), kBack);
        EXPECT_EQ(e.Pixel(640, 310), kBack);
        EXPECT_GE(e.Text().Left(), 0);
        EXPECT_LE(e.Text().Left(), 647 - 201);
        EXPECT_GE(e.Text().Top(), 0);
        EXPECT_LE(e.Text().Top(), 320 - 101);
        lefts.insert(e.Text().Left());
        tops.insert(e.Text().Top());
    }
    EXPECT_GT(lefts.size(), 10u);
    EXPECT_GT(tops.size(), 10u);
    // The places spread over the whole range, up to its far edges.
    EXPECT_GT(*lefts.rbegin(), 400);
    EXPECT_GT(*tops.rbegin(), 180);

    e.Window().SetOuterSize(150, 80);
    e.Step();
    EXPECT_EQ(e.TextAt(), QPoint(0, 0));
    EXPECT_EQ(e.Pixel(100, 40), kBack);
    e.Window().SetOuterSize(201, 101);
    e.Step();
    EXPECT_EQ(e.TextAt(), QPoint(0, 0));
    EXPECT_FALSE(e.Text().Caption().isEmpty());
}

// When the stage clock ends the line mode, the word modes go on with the
// words left from before and then the line after the last line shown.
TEST(ExerciseWindow, WordsFollowTheLastLineShownAfterTheLineMode) {
    Exercise e(Utf8(QStringLiteral("a1 a2 a3\nb1 b2\nc1 c2\nd1\n")));
    e.Start();
    e.Step();
    EXPECT_EQ(e.Text().Caption(), QStringLiteral("a1 "));
    e.StageTicks(10 + 10 + 20);  // on to the line mode
    e.Step(3);
    EXPECT_EQ(e.Text().Caption(), QStringLiteral("b1 b2"));
    e.StageTicks(18);  // on to the random places
    QStringList shown;
    for (int i = 0; i < 6; ++i) {
        e.Step();
        shown.append(e.Text().Caption());
    }
    EXPECT_EQ(shown, QStringList({QStringLiteral("a2 "), QStringLiteral("a3 "), QStringLiteral("c1 "),
                                  QStringLiteral("c2 "), QStringLiteral("d1 "), QStringLiteral("a1 ")}));
}

// The stage clock of the real window: stages last their preset's number of
// seconds, each with its own step interval, and start over after stage 5.
TEST(ExerciseWindow, StageClockFollowsThePreset) {
    const auto stageLengths = [](Exercise& e, std::vector<int>& intervals) {
        std::vector<int> lengths;
        intervals.push_back(e.Window().stepTimer.Interval());
        for (int stage = 1; stage <= 5; ++stage) {
            const int mode = e.p->Exercise.ExerciseMode;
            int ticks = 0;
            while (e.p->Exercise.ExerciseMode == mode && ticks < 1000) {
                e.Window().OnStageTick();
                ++ticks;
            }
            lengths.push_back(ticks);
            intervals.push_back(e.Window().stepTimer.Interval());
        }
        return lengths;
    };

    Exercise beginners(Utf8(QStringLiteral("a b c\n")));
    beginners.Start();
    std::vector<int> intervals;
    EXPECT_EQ(stageLengths(beginners, intervals), (std::vector<int>{10, 10, 20, 18, 10}));
    EXPECT_EQ(intervals, (std::vector<int>{1000, 1000, 1000, 1000, 1000, 1000}));
    EXPECT_EQ(beginners.p->Exercise.Stage, 1);
    EXPECT_EQ(beginners.p->Exercise.ExerciseMode, 1);
    EXPECT_TRUE(beginners.Window().stepTimer.Enabled());
    EXPECT_TRUE(beginners.Window().stageTimer.Enabled());

    Exercise normal(Utf8(QStringLiteral("a b c\n")));
    normal.p->Preset.Apply(1);
    normal.Start();
    intervals.clear();
    EXPECT_EQ(stageLengths(normal, intervals), (std::vector<int>{120, 60, 100, 150, 70}));
    EXPECT_EQ(intervals, (std::vector<int>{300, 400, 300, 700, 400, 300}));

    // Stages that do not repeat: after stage 5 the window keeps its last word
    // and stays still, also when the timers are switched on again.
    Exercise once(Utf8(QStringLiteral("a b c\n")));
    once.p->Preset.RepeatStages = 0;
    once.Start();
    once.StageTicks(10 + 10 + 20 + 18);
    once.Step();
    ASSERT_EQ(once.p->Exercise.ExerciseMode, 5);
    once.StageTicks(10);
    EXPECT_FALSE(once.Window().stepTimer.Enabled());
    EXPECT_FALSE(once.Window().stageTimer.Enabled());
    EXPECT_TRUE(once.Window().Visible());
    const QString last = once.Text().Caption();
    const QPoint at = once.TextAt();
    once.Window().FormKeyPress(QLatin1Char(' '));
    ASSERT_TRUE(once.Window().stageTimer.Enabled());
    once.StageTicks(30);
    once.Step(3);
    EXPECT_EQ(once.Text().Caption(), last);
    EXPECT_EQ(once.TextAt(), at);
    EXPECT_EQ(once.Window().stepTimer.Interval(), 1000);
}

// Space in the exercise window toggles each timer on its own; other keys do nothing.
TEST(ExerciseWindow, SpaceTogglesEachTimer) {
    Exercise e(Utf8(QStringLiteral("a b c\n")));
    e.Start();
    ExerciseWindow& w = e.Window();
    w.FormKeyPress(QLatin1Char(' '));
    EXPECT_FALSE(w.stepTimer.Enabled());
    EXPECT_FALSE(w.stageTimer.Enabled());
    w.FormKeyPress(QLatin1Char('a'));
    EXPECT_FALSE(w.stepTimer.Enabled());
    EXPECT_FALSE(w.stageTimer.Enabled());
    QTest::keyClick(w.Widget(), Qt::Key_Space);
    EXPECT_TRUE(w.stepTimer.Enabled());
    EXPECT_TRUE(w.stageTimer.Enabled());
    EXPECT_EQ(w.stepTimer.Interval(), 1000);

    // Only the step timer running (a manual speed change stopped the stage clock).
    e.p->speedIndicator->automaticBox->setChecked(false);
    ASSERT_FALSE(w.stageTimer.Enabled());
    w.FormKeyPress(QLatin1Char(' '));
    EXPECT_FALSE(w.stepTimer.Enabled());
    EXPECT_TRUE(w.stageTimer.Enabled());
    w.FormKeyPress(QLatin1Char(' '));
    EXPECT_TRUE(w.stepTimer.Enabled());
    EXPECT_FALSE(w.stageTimer.Enabled());
}

// Closing the exercise window ends the exercise as Quit does.
TEST(ExerciseWindow, ClosingTheWindowEndsTheExercise) {
    Exercise e(Utf8(QStringLiteral("a b c\n")));
    e.Start();
    e.Step();
    MainWindow& main = *e.p->mainWindow;
    ASSERT_EQ(main.Canvas.Pixel(main.PanelX + 465, main.PanelY + 27), clAccent);
    e.Window().Close();
    EXPECT_FALSE(e.Window().Visible());
    EXPECT_FALSE(e.Window().stepTimer.Enabled());
    EXPECT_FALSE(e.Window().stageTimer.Enabled());
    EXPECT_FALSE(e.p->ExerciseActive);
    EXPECT_FALSE(e.p->speedIndicator->Visible());
    for (int x = 259; x < 550; x += 7) {
        for (int y = 18; y < 80; y += 5) EXPECT_EQ(main.Canvas.Pixel(main.PanelX + x, main.PanelY + y), clBlack);
    }
    EXPECT_EQ(main.Canvas.Pixel(main.PanelX + 460, main.PanelY + 82), clBlack);
    // The next start opens it again.
    e.Start();
    EXPECT_TRUE(e.Window().Visible());
    EXPECT_TRUE(e.p->ExerciseActive);
}

// A text without a single word ends every step with nothing to read.
TEST(ExerciseWindow, TextWithoutWordsShowsNothing) {
    for (const QByteArray& text : {QByteArray(". , -  ...\n - - \n\n"), QByteArray()}) {
        for (int smart = 0; smart <= 1; ++smart) {
            Exercise e(text);
            e.p->SettingsRecord.SmartDivider = static_cast<std::uint8_t>(smart);
            e.Start();
            ASSERT_TRUE(e.Window().Visible());
            for (int mode = 1; mode <= 5; ++mode) {
                e.Step(4);
                if (mode != 4 || smart) {
                    EXPECT_TRUE(e.Text().Caption().trimmed().isEmpty()) << "mode " << mode;
                }
                e.Next();
            }
            EXPECT_TRUE(e.p.Test.Errors.Messages.isEmpty());
        }
    }
}

// A new start begins with the words of the text loaded now: nothing of the
// text read before comes out, however long its last line was.
TEST(ExerciseWindow, RestartShowsOnlyTheNewText) {
    QByteArray longLine;
    for (int i = 0; i < 60000; ++i) longLine += "old ";
    Exercise e(longLine + "\n", [](test::StartDirectory& dir) { dir.Write(QStringLiteral("new.txt"), "fresh words\n"); });
    e.Start();
    e.Step(3);
    ASSERT_EQ(e.Text().Caption(), QStringLiteral("old "));
    e.p->SettingsRecord.TextPath.SetText(QStringLiteral("new.txt"));
    e.Start();
    e.Step();
    EXPECT_EQ(e.Text().Caption(), QStringLiteral("fresh "));
    e.Step();
    EXPECT_EQ(e.Text().Caption(), QStringLiteral("words "));
}

// A line of nine million characters at the largest font size: the word
// modes give the label no more than a window can show, and place it, in 64
// bits, far to the left instead of wrapping round to somewhere else; the line
// stage shows it in pieces that fit the window, cut between letters.
TEST(ExerciseWindow, HugeLinesArePlacedOffTheWindowAndCutForTheLabel) {
    Exercise e(QByteArray(9'000'000, 'w') + "\n");
    e.p->SettingsRecord.FontSize = 255;
    e.Start();
    e.Step();
    EXPECT_EQ(e.Text().Caption().size(), ExerciseWindow::kMaxShownCharacters);
    EXPECT_LT(e.Text().Left(), 0);
    e.Next(3);
    e.Step();
    EXPECT_FALSE(e.Text().Caption().isEmpty());
    EXPECT_GE(e.Text().Left(), 0);
    EXPECT_LE(e.Text().Left() + e.Text().Width(), e.Window().ClientWidth());
}

// The line stage cuts no line off. A line wider than the window is shown as
// window-wide pieces cut at spaces, one after the other, each with its own
// marks on it, before the next line; a line that fits the window but would
// stand partly outside it is moved just inside. The reading position counts
// the text's lines, and a jump elsewhere drops the rest of the pieces.
TEST(ExerciseWindow, LinesOfTheLineStageAreNeverCutOff) {
    QString wide;
    for (int k = 1; wide.size() < 600; ++k) wide += QStringLiteral("слово%1 ").arg(k);
    wide = wide.trimmed();
    // 99 narrow characters: left = 323 - 99 * 12 / 3 = -73, narrower than the window.
    const QString narrow = QStringLiteral("i ").repeated(50).trimmed();
    Exercise e(Utf8(wide + u'\n' + narrow + QStringLiteral("\nконец\n")));
    e.Start();
    e.Next(3);
    ASSERT_LT(QFontMetrics(e.Text().Widget()->font()).horizontalAdvance(narrow), e.Window().ClientWidth());

    // Steps until the next line or piece is shown (with its first mark).
    auto nextShown = [&] {
        for (int step = 0; step < 4; ++step) {
            const int markStep = e.p->Exercise.MarkStep;
            const int markCount = e.p->Exercise.MarkCount;
            e.Step();
            if (markStep == 1 || markStep > markCount) return e.Text().Caption();
        }
        return QString();
    };
    QStringList pieces;
    for (QString shown = nextShown(); shown != narrow && pieces.size() < 50; shown = nextShown()) {
        pieces.append(shown);
        EXPECT_GE(e.Text().Left(), 0) << shown.toStdString();
        EXPECT_LE(e.Text().Left() + e.Text().Width(), e.Window().ClientWidth()) << shown.toStdString();
        const Columns marks = e.BlackColumns(10);
        ASSERT_EQ(marks.size(), 1u);
        EXPECT_GT(marks[0], e.Text().Left());
        EXPECT_LT(marks[0], e.Text().Left() + e.Text().Width());
        EXPECT_EQ(e.p->TextLineBuffer.CurrentLine, 2) << "the position is past line 1 while its pieces show";
    }
    EXPECT_GE(pieces.size(), 3);
    EXPECT_EQ(pieces.join(u' '), wide);

    EXPECT_EQ(e.Text().Caption(), narrow);
    EXPECT_EQ(e.Text().Left(), 0);
    EXPECT_LE(e.Text().Width(), e.Window().ClientWidth());
    EXPECT_EQ(e.p->TextLineBuffer.CurrentLine, 3);
    EXPECT_EQ(nextShown(), QStringLiteral("конец"));

    // Back at the wide line: a jump to line 3 after its first piece shows line 3 next.
    EXPECT_EQ(nextShown(), pieces[0]);
    e.p->TextLineBuffer.CurrentLine = 3;
    EXPECT_EQ(nextShown(), QStringLiteral("конец"));
}

// A reading position beyond the text (a bookmark of a longer text) shows line 1 in the line mode.
TEST(ExerciseWindow, PositionBeyondTheTextShowsTheFirstLine) {
    Exercise e(Utf8(QStringLiteral("первая строка\nвторая строка\n")));
    e.Start();
    e.Next(3);
    e.p->TextLineBuffer.CurrentLine = 50;
    e.Step();
    EXPECT_EQ(e.Text().Caption(), QStringLiteral("первая строка"));
    e.Step(2);
    EXPECT_EQ(e.Text().Caption(), QStringLiteral("вторая строка"));
}

// With the picture switch on, clearing the window paints the chosen picture.
TEST(ExerciseWindow, ChosenPictureIsTheBackground) {
    Exercise e(Utf8(QStringLiteral("первая строка\nвторая строка\n")), [](test::StartDirectory& dir) {
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(ToQColor(clRed));
        ASSERT_TRUE(picture.save(dir.File(QStringLiteral("picture.bmp")), "BMP"));
    });
    e.p->SettingsRecord.UsePicture = 1;
    e.p->SettingsRecord.PicturePath.SetText(QStringLiteral("picture.bmp"));
    e.Start();
    EXPECT_TRUE(e.p.Test.Errors.Messages.isEmpty());
    EXPECT_EQ(e.Pixel(5, 5), clRed);
    e.Next(3);
    e.Step(2);  // marks at 271 + 52 - 30 and 271 + 104 - 30
    EXPECT_EQ(e.Pixel(345, 10), clBlack);
    e.Step();
    EXPECT_EQ(e.Pixel(345, 10), clRed);
    EXPECT_EQ(e.Pixel(0, 0), clRed);
    EXPECT_EQ(e.Pixel(646, 319), clRed);
    e.Next();
    e.Step();
    EXPECT_EQ(e.Pixel(1, 1), clRed);
    EXPECT_EQ(e.Pixel(500, 300), clRed);

    // Switched off again, the next start clears with the colour.
    e.p->SettingsRecord.UsePicture = 0;
    e.Start();
    e.Next(4);
    e.Step();
    EXPECT_EQ(e.Pixel(1, 1), kBack);
    EXPECT_EQ(e.Pixel(500, 300), kBack);
}

// A picture that cannot be loaded is reported once; the window falls back to its colour.
TEST(ExerciseWindow, MissingPictureFallsBackToTheColour) {
    Exercise e(Utf8(QStringLiteral("первая строка\nвторая строка\n")));
    e.p->SettingsRecord.UsePicture = 1;
    e.p->SettingsRecord.PicturePath.SetText(QStringLiteral("missing.bmp"));
    e.Start();
    EXPECT_EQ(e.p.Test.Errors.Messages.size(), 1);
    EXPECT_TRUE(e.Window().Visible());
    EXPECT_EQ(e.Pixel(5, 5), kBack);
    e.Next(3);
    e.Step(2);
    EXPECT_EQ(e.BlackColumns(10), (Columns{293, 345}));
    e.Step();
    EXPECT_EQ(e.BlackColumns(10), (Columns{293}));
    EXPECT_EQ(e.Pixel(345, 200), kBack);
    e.Start();
    EXPECT_EQ(e.p.Test.Errors.Messages.size(), 1);
    e.Next(4);
    e.Step();
    EXPECT_EQ(e.Pixel(5, 5), kBack);
    EXPECT_EQ(e.Pixel(600, 300), kBack);
}

// A font size of 0 shows the text at the default size, placed as if it had no width.
TEST(ExerciseWindow, FontSizeZeroStillShowsTheText) {
    Exercise e(Utf8(QStringLiteral("слово\n")));
    e.p->SettingsRecord.FontSize = 0;
    e.Start();
    e.Step();
    EXPECT_EQ(e.Text().Caption(), QStringLiteral("слово "));
    EXPECT_EQ(e.Text().Font().Size(), 0);
    EXPECT_GT(e.Text().Height(), 0);
    EXPECT_GT(e.Text().Width(), 0);
    EXPECT_EQ(e.TextAt(), QPoint(323, 120));
}

}  // namespace
}  // namespace vistorel
