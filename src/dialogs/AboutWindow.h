#pragma once

#include "platform/Form.h"

namespace vistorel {

class Program;

// The about window: the product's title picture and its addresses.
class AboutWindow : public Form {
public:
    explicit AboutWindow(Program& program);

private:
    Program& program;
};

}  // namespace vistorel
