#pragma once

#include "platform/Form.h"

namespace vistorel {

class Program;

// The memory test: eight rings shown for seven seconds, then typed from memory.
class MemoryTestWindow : public Form {
public:
    explicit MemoryTestWindow(Program& program);

private:
    Program& program;
};

}  // namespace vistorel
