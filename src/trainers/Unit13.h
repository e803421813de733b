#pragma once

#include "platform/Form.h"

namespace vistorel {

class Program;

// The IPS test: a visual search among ring pictures, scored in IPS, MI and IPI.
class TForm13 : public Form {
public:
    explicit TForm13(Program& program);

private:
    Program& program;
};

}  // namespace vistorel
