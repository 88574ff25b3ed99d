#include "calc/CSumHour.h"

CSumHour::~CSumHour() = default;
