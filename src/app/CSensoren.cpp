#include "app/CSensoren.h"

#include "calc/CSumHour.h"
#include "display/SingleValueWindow.h"

CSensoren::CSensoren() = default;
CSensoren::~CSensoren() = default;
