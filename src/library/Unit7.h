#pragma once

#include "platform/Form.h"

namespace vistorel {

class Program;

// The text manager: the library's texts with their descriptions; choose, add, edit, delete.
class TForm7 : public Form {
public:
    explicit TForm7(Program& program);

private:
    Program& program;
};

}  // namespace vistorel
