#pragma once

// Maximum, minimum, average, sum, activity and tendency of one sensor's values.
// Placeholder: the fields and their computation come with the statistics.
struct SensorStatistics {};
