// The device link's part of gVar.
#pragma once

struct DeviceState {};
