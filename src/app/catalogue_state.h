// The device catalogue and the sensor DPI tables in gVar.
#pragma once

struct CatalogueState {};
