#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/CSensoren.h"

class Profile;

// Reading the sensor definition files: define.ini holds one section per
// measured sensor, intern.ini the list of virtual sensors and one section per
// virtual sensor. Missing files, sections or keys give the defaults; nothing
// here fails.

// The measured sensor `identifier` from its define.ini section.
std::unique_ptr<CSensoren> ReadMeasuredSensor(Profile& profile, const std::string& defineFile,
                                              const std::string& identifier);

// The virtual sensor `identifier` from its intern.ini section.
std::unique_ptr<CSensoren> ReadVirtualSensor(Profile& profile, const std::string& internFile,
                                             const std::string& identifier);

// The identifiers of intern.ini's "Interne Sensoren"/"iKennung".
std::vector<std::string> ReadVirtualSensorIdentifiers(Profile& profile,
                                                      const std::string& internFile);

// Splits a comma-terminated list: every "," ends one item, empty items
// included; text after the last "," is no item.
std::vector<std::string> SplitIdentifierList(std::string_view list);

// The reverse: every item followed by ",".
std::string JoinIdentifierList(const std::vector<std::string>& items);

// The data-file line for a missing record: "<identifier>-99999," per identifier.
std::string BuildGapLine(const std::vector<std::string>& identifiers);
