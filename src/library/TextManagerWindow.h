#pragma once

#include "platform/Form.h"

namespace vistorel {

class Program;

// The text manager: the library's texts with their descriptions; choose, add, edit, delete.
class TextManagerWindow : public Form {
public:
    explicit TextManagerWindow(Program& program);

private:
    Program& program;
};

}  // namespace vistorel
