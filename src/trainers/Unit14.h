#pragma once

#include "platform/Form.h"

namespace vistorel {

class Program;

// The memory test: eight rings shown for seven seconds, then typed from memory.
class TForm14 : public Form {
public:
    explicit TForm14(Program& program);

private:
    Program& program;
};

}  // namespace vistorel
