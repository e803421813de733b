#pragma once

#include "platform/Form.h"

namespace vistorel {

class Program;

// The add text window: title, file and description of a library entry, added or replaced.
class AddTextWindow : public Form {
public:
    explicit AddTextWindow(Program& program);

private:
    Program& program;
};

}  // namespace vistorel
