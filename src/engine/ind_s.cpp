#include "engine/ind_s.h"

#include "app/Program.h"
#include "engine/Unit4.h"

#include <QCheckBox>
#include <QProgressBar>
#include <QPushButton>

namespace vistorel {

Tindicator::Tindicator(Program& program) : Form(program.App), program(program) {
    ApplyDesign({QStringLiteral("indicator"), BorderStyle::Dialog, false, -2, 397, 468, 44, false, clBtnFace});
    Gauge1 = new QProgressBar(Surface());
    Gauge1->setGeometry(8, 8, 377, 17);
    Gauge1->setRange(0, 100);
    Gauge1->setValue(0);
    SpeedButton1 = new QPushButton(QStringLiteral("Faster"), Surface());
    SpeedButton1->setGeometry(392, 8, 65, 17);
    SpeedButton1->setFlat(true);
    SpeedButton2 = new QPushButton(QStringLiteral("Slower"), Surface());
    SpeedButton2->setGeometry(392, 24, 65, 17);
    SpeedButton2->setFlat(true);
    CheckBox1 = new QCheckBox(QStringLiteral("Automatic speed controller"), Surface());
    CheckBox1->setGeometry(32, 27, 257, 17);
    QPalette palette = CheckBox1->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    CheckBox1->setPalette(palette);
    CheckBox1->setChecked(true);
    QObject::connect(CheckBox1, &QCheckBox::toggled, CheckBox1, [this] { App().Guard([this] { CheckBox1Click(); }); });
}

void Tindicator::CheckBox1Click() { program.Form4->Timer2.SetEnabled(CheckBox1->isChecked()); }

void Tindicator::ClearAutomaticSpeedController() { CheckBox1->setChecked(false); }

}  // namespace vistorel
