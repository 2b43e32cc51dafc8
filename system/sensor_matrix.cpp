// SPDX-License-Identifier: GPL-3.0-or-later
// SensorMatrix: 32 switches in 8 rows of 4, read through a printer port.
#include "system/sensor_matrix.h"

namespace sys {

namespace {

constexpr uint8_t all_control_lines = 255;

}

bool SensorMatrix::open()
{
    if (m_port)
        return true;
    auto port = m_opener.open_port();
    if (!port)
        return false;
    m_port = std::move(*port);
    m_port->write_control(all_control_lines);
    m_port->settle();
    m_port->write_data(1);
    m_port->settle();
    m_rest = m_port->read_status();
    return true;
}

void SensorMatrix::scan()
{
    if (!m_port)
        return;
    // One data line low selects a row; its four switches pull status bits
    // 7..4 away from the rest value.
    for (int row = 0; row < 8; ++row) {
        m_port->write_control(all_control_lines);
        m_port->settle();
        m_port->write_data(static_cast<uint8_t>(255 ^ (128 >> row)));
        m_port->settle();
        uint8_t changed = m_port->read_status() ^ m_rest;
        for (int column = 0; column < 4; ++column)
            m_active[static_cast<size_t>(row * 4 + column)] = (changed & (0x80 >> column)) != 0;
    }
}

int SensorMatrix::first_active() const
{
    for (size_t i = 0; i < m_active.size(); ++i) {
        if (m_active[i])
            return static_cast<int>(i) + 1;
    }
    return 0;
}

}
