#include "engine/SpeedIndicator.h"

#include "app/Program.h"
#include "engine/ExerciseWindow.h"

#include <QCheckBox>
#include <QProgressBar>
#include <QPushButton>

namespace vistorel {

SpeedIndicator::SpeedIndicator(Program& program) : Form(program.App), program(program) {
    ApplyDesign({QStringLiteral("indicator"), BorderStyle::Dialog, false, -2, 397, 468, 44, false, clBtnFace});
    speedGauge = new QProgressBar(Surface());
    speedGauge->setGeometry(8, 8, 377, 17);
    speedGauge->setRange(0, 100);
    speedGauge->setValue(0);
    fasterButton = new QPushButton(QStringLiteral("Faster"), Surface());
    fasterButton->setGeometry(392, 8, 65, 17);
    fasterButton->setFlat(true);
    slowerButton = new QPushButton(QStringLiteral("Slower"), Surface());
    slowerButton->setGeometry(392, 24, 65, 17);
    slowerButton->setFlat(true);
    automaticBox = new QCheckBox(QStringLiteral("Automatic speed controller"), Surface());
    automaticBox->setGeometry(32, 27, 257, 17);
    QPalette palette = automaticBox->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    automaticBox->setPalette(palette);
    automaticBox->setChecked(true);
    QObject::connect(automaticBox, &QCheckBox::toggled, automaticBox, [this] { App().Guard([this] { OnAutomaticToggled(); }); });
}

void SpeedIndicator::OnAutomaticToggled() {
    // Checked again (from the menu) while the exercise is paused, the stage
    // clock waits for the steps, so that the next resume starts both.
    const ExerciseWindow& exercise = *program.exerciseWindow;
    program.exerciseWindow->stageTimer.SetEnabled(automaticBox->isChecked() && exercise.stepTimer.Enabled());
}

void SpeedIndicator::ClearAutomaticSpeedController() { automaticBox->setChecked(false); }

}  // namespace vistorel
