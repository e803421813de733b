#pragma once

#include "platform/Form.h"

namespace vistorel {

class Program;

// The about window: the product's title picture and its addresses.
class TForm3 : public Form {
public:
    explicit TForm3(Program& program);

private:
    Program& program;
};

}  // namespace vistorel
