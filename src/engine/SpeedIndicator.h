#pragma once

#include "platform/Form.h"

class QCheckBox;
class QProgressBar;
class QPushButton;

namespace vistorel {

class Program;

// The speed indicator: its check box "Automatic speed controller" switches the
// exercise window's stage clock; the speed buttons clear it at their first use.
class SpeedIndicator : public Form {
public:
    explicit SpeedIndicator(Program& program);

    // Runs whenever the box changes state: the stage clock follows it (and,
    // switched on, runs only while the steps do).
    void OnAutomaticToggled();
    // Clears the box; when it was checked this stops the stage clock.
    void ClearAutomaticSpeedController();

    QProgressBar* speedGauge = nullptr;
    QPushButton* fasterButton = nullptr;
    QPushButton* slowerButton = nullptr;
    QCheckBox* automaticBox = nullptr;

private:
    Program& program;
};

}  // namespace vistorel
