#pragma once

#include "toolkit/Exceptions.h"

// A disc that cannot be mastered or inspected as asked; the message says why.
class EDiscError : public Exception
{
public:
    using Exception::Exception;
};
