#pragma once

#include "platform/Form.h"

namespace vistorel {

class Program;

// The IPS test: a visual search among ring pictures, scored in IPS, MI and IPI.
class IpsTestWindow : public Form {
public:
    explicit IpsTestWindow(Program& program);

private:
    Program& program;
};

}  // namespace vistorel
