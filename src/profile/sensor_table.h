// Sensor DPI tables: per sensor model, the DPI values the program offers and the rule that turns
// a DPI value into the sensor's resolution code and multiplier and back.
//
// The tables live in gVar.SensorTables. They are built once at start-up (BuildSensorTables) and
// the device catalogue may then rename, rebuild or replace the list of any of them while it
// reads cfg.ini; afterwards they do not change, so every thread may read them without a lock.
#pragma once
#include <array>
#include <cstdint>

constexpr int kSensorTableCount = 30;  // tables held in gVar
constexpr int kSensorMaxValues = 650;  // values one table can hold

// Sensor ids of the built-in tables.
enum : uint32_t {
    kSensor3050 = 0x3050,
    kSensor3330 = 0x3330,
    kSensor3104 = 0x3104,
    kSensor3212 = 0x3212,
    kSensor3325 = 0x3325,
    kSensor3335 = 0x3335,
    kSensor4090 = 0x4090,
    kSensor3336 = 0x3336,
    kSensor3370 = 0x3370,
    kSensor9000 = 0x9000,
    kSensor3395 = 0x3395,
};

// The 0x3335 codes a DPI through a fixed table at v / 200 - 1 above 16000, which ends at 32000.
constexpr uint32_t kSensor3335MaxDpi = 32000;

struct SensorTable {
    uint32_t id = 0;     // 0: an unused table
    uint32_t count = 0;  // values in use, at most kSensorMaxValues
    std::array<uint16_t, kSensorMaxValues> dpi{};
    std::array<uint8_t, kSensorMaxValues> code{};  // code[i] belongs to dpi[i]
};

using DefaultDpi = std::array<uint16_t, 8>;

// Clears all tables and builds the eleven built-in ones from the sensor switches in gVar
// (Setp200_3325, Sensor9000Max, Sensor3395Max).
void BuildSensorTables();

// The table of a sensor (the first match), or nullptr; id 0 never has a table.
SensorTable* FindSensorTable(uint32_t sensorId);

// The code of a DPI value for a sensor, 0 when it cannot be coded. Sets *multiplier where the
// sensor's rule gives one and leaves it untouched otherwise.
uint32_t DpiToCode(uint32_t sensorId, uint32_t dpi, int* multiplier = nullptr);
// The DPI of a code and multiplier for the sensor of the device in use (gVar.pSensorCfg); 0 when
// there is no device, no table, or the code is unknown.
uint32_t CodeToDpi(uint32_t code, int multiplier);
// The same for a given sensor.
uint32_t SensorCodeToDpi(uint32_t sensorId, uint32_t code, int multiplier);

// The list position of the first value equal to dpi, or -1.
int IndexOfDpi(uint32_t sensorId, uint32_t dpi);
// The value at a list position, or -1 when the position is outside the list or there is no
// table.
int DpiAtIndex(uint32_t sensorId, int index);
// The eight default level values of a sensor, or nullptr when it has none.
const DefaultDpi* DefaultDpiSet(uint32_t sensorId);

// Drops the values a sensor cannot code from its list (0x3335 above 32000). Run after the
// catalogue changed a list.
void LimitSensorTable(SensorTable& table);
