#include "model/CSensoren.h"

#include "model/CSumHour.h"
#include "model/SingleValueWindow.h"

CSensoren::CSensoren() = default;
CSensoren::~CSensoren() = default;
