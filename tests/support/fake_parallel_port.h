// SPDX-License-Identifier: GPL-3.0-or-later
// FakeParallelPort: a sensor matrix wired to a simulated printer port.
#pragma once

#include "platform/parallel_port.h"

#include <array>
#include <vector>

namespace platform {

// The matrix as wired: the data lines select rows (a row is read while its
// line is low) and status bits 7..4 carry the row's four sensors; a closed
// sensor flips its status bit away from the rest value.
class FakeSensorMatrix {
public:
    void set_active(int sensor, bool active) { m_active.at(static_cast<size_t>(sensor - 1)) = active; }
    void set_rest_status(uint8_t value) { m_rest = value; }

    uint8_t status_for(uint8_t data) const
    {
        uint8_t status = m_rest;
        for (int row = 0; row < 8; ++row) {
            if (data & (0x80 >> row))
                continue;
            for (int column = 0; column < 4; ++column) {
                if (m_active[static_cast<size_t>(row * 4 + column)])
                    status ^= static_cast<uint8_t>(0x80 >> column);
            }
        }
        return status;
    }

private:
    std::array<bool, 32> m_active {};
    uint8_t m_rest = 0x78;
};

class FakeParallelPort final : public ParallelPort {
public:
    explicit FakeParallelPort(const FakeSensorMatrix& matrix)
        : m_matrix(matrix)
    {
    }
    void write_data(uint8_t value) override { m_data = value; }
    void write_control(uint8_t value) override { m_control = value; }
    uint8_t read_status() override { return m_matrix.status_for(m_data); }
    void settle() override { ++m_settles; }
    int settles() const { return m_settles; }

private:
    const FakeSensorMatrix& m_matrix;
    uint8_t m_data = 0xFF;
    uint8_t m_control = 0;
    int m_settles = 0;
};

// Opens the fake port, or fails like a machine without one.
class FakePortOpener final : public ParallelPortOpener {
public:
    explicit FakePortOpener(const FakeSensorMatrix* matrix)
        : m_matrix(matrix)
    {
    }
    base::Result<std::unique_ptr<ParallelPort>> open_port() override
    {
        ++m_attempts;
        if (!m_matrix)
            return base::Error { "no parallel port" };
        return std::unique_ptr<ParallelPort>(std::make_unique<FakeParallelPort>(*m_matrix));
    }
    int attempts() const { return m_attempts; }

private:
    const FakeSensorMatrix* m_matrix;
    int m_attempts = 0;
};

}
