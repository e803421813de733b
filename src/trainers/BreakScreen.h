#pragma once

#include "platform/Form.h"

namespace vistorel {

class Program;

// The break screen: a maximised black window with changing point figures.
class BreakScreen : public Form {
public:
    explicit BreakScreen(Program& program);

private:
    Program& program;
};

}  // namespace vistorel
