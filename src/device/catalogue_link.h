// Where identification meets the device catalogue and the sensor tables. The link declares what
// it needs; the catalogue's side (profile/) defines it, so the link stays below the catalogue.
#pragma once
#include <cstdint>

// Finds the catalogue entry of a receiver and mouse id; with `select`, makes it the current
// mouse's entry. false when the catalogue has no such mouse.
bool CatalogueLookUpMouse(uint32_t cid, uint32_t mid, bool select);
