#pragma once

#include "platform/Form.h"

namespace vistorel {

class Program;

// The reading speed test: reading time of the text's beginning in words per minute.
class ReadingSpeedTestWindow : public Form {
public:
    explicit ReadingSpeedTestWindow(Program& program);

private:
    Program& program;
};

}  // namespace vistorel
