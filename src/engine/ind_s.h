#pragma once

#include "platform/Form.h"

class QCheckBox;
class QProgressBar;
class QPushButton;

namespace vistorel {

class Program;

// The speed indicator: its check box "Automatic speed controller" switches the
// exercise window's stage clock; the speed buttons clear it at their first use.
class Tindicator : public Form {
public:
    explicit Tindicator(Program& program);

    // Runs whenever the box changes state: the stage clock follows it.
    void CheckBox1Click();
    // Clears the box; when it was checked this stops the stage clock.
    void ClearAutomaticSpeedController();

    QProgressBar* Gauge1 = nullptr;
    QPushButton* SpeedButton1 = nullptr;
    QPushButton* SpeedButton2 = nullptr;
    QCheckBox* CheckBox1 = nullptr;

private:
    Program& program;
};

}  // namespace vistorel
