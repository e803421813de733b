#pragma once

#include "platform/Form.h"

namespace vistorel {

class Program;

// The break screen: a maximised black window with changing point figures.
class TForm12 : public Form {
public:
    explicit TForm12(Program& program);

private:
    Program& program;
};

}  // namespace vistorel
