#pragma once

#include "app/ExerciseProgress.h"
#include "app/MainMenu.h"
#include "engine/TextLines.h"
#include "platform/BackgroundWork.h"
#include "platform/Form.h"
#include "platform/Label.h"
#include "platform/Timer.h"
#include "skin/ImageButton.h"
#include "skin/ImageButtonFocus.h"

#include <array>
#include <memory>

namespace vistorel {

class KeyboardReturn;
class Program;

// The buttons of the main window's control panel, in table order.
enum MainButton : int {
    kStart,
    kPreferences,
    kExit,
    kAbout,
    kTexts,
    kPause,
    kNext,
    kQuit,
    kBookmark,
    kJump,
    kSlower,
    kFaster,
    kMainButtonCount
};

// The main window: a tiled background, the control panel with its image
// buttons, and the exercise panel while a reading exercise runs.
class MainWindow : public Form {
public:
    explicit MainWindow(Program& program);
    ~MainWindow() override;

    void FormCreate() override;
    void FormPaint() override;
    void FormMouseMove(int x, int y) override;
    void FormMouseDown(MouseButton button, int x, int y) override;
    void FormMouseUp(MouseButton button, int x, int y) override;
    void FormClose() override;
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers) override;
    QRect ScreenAnchor() const override;

    // The exit command: closes the welcome window, then this one.
    void ExitProgram();

    // Exercise control.
    void BeginExercise();
    // Starts the exercise where the last one of the current text stopped.
    void ResumeExercise();
    void DrawExercisePanel();
    void SkipStage();
    void TogglePause();
    void EndExercise();
    void SpeedUp();
    void SpeedDown();
    void DrawSpeedBar();
    void OnMoveTick();
    // The keys of a running exercise, here and in the exercise window: Space
    // pause, Escape stop, Right or + faster, Left or - slower (a step each, as
    // a tick of a held button), N next stage, B bookmark, J jump to a
    // bookmark. True when used.
    bool ExerciseKey(int key);
    // The automatic change of stages switched on or off, as the speed
    // indicator's box does it.
    void SetAutomaticStages(bool on);
    // The panel's notice and the menu item follow the state of the stages.
    void ShowStageChange();

    // Origin of the control panel, set by every paint.
    int PanelX = 0;
    int PanelY = 0;
    Timer moveTimer;
    // The menu bar; the window's outer height includes it.
    MainMenu menu;
    // «Смена этапов: вручную» beside the exercise panel while a speed change
    // keeps the exercise in its stage.
    Label manualStagesLabel;
    // The measured speed and place on the panel, and the session's record.
    ExerciseProgress progress;
    // Reads the text of an exercise off the GUI thread.
    BackgroundWork textLoad;

    bool Hovered(MainButton button) const { return hover_[button]; }
    // The button as the keyboard and a screen reader reach it.
    ImageButtonFocus& Focus(MainButton button) const { return *focus_[button]; }
    // The buttons that react take the keyboard: the idle ones while no
    // exercise runs, the exercise panel's while one does. The focus on a
    // button that stops reacting goes to the first one of the other set.
    void FollowExerciseState();
    // The button's rectangle in window coordinates, for the current panel origin.
    HitRect ButtonRect(MainButton button) const;

private:
    bool Inside(MainButton button, int x, int y) const { return ButtonRect(button).Contains(x, y); }
    void DrawButton(MainButton button, bool hover);
    void TrackButton(MainButton button, int x, int y);
    void TrackQuit(int x, int y);
    void RedrawBesideQuit();
    void BeginExerciseAt(const ReadingPlace& place);
    // The exercise on the text just read.
    void StartExercise(TextLines text);
    // The word stream at the remembered place, found again if the text changed.
    void GoToPlace(const ReadingPlace& place);

    Program& program;
    Bitmap background_;
    Bitmap control_;
    std::array<ButtonImages, kMainButtonCount> images_;
    std::array<bool, kMainButtonCount> hover_{};
    std::array<ImageButtonFocus*, kMainButtonCount> focus_{};  // children of the surface
    std::unique_ptr<KeyboardReturn> keyboardReturn_;
};

}  // namespace vistorel
