#pragma once

#include <QByteArray>
#include <QDataStream>
#include <QtEndian>

#include <cstring>
#include <type_traits>

// The byte form of everything a controller stores or reports (resource blocks, the CPU block, the
// flat image): little-endian, floats in single precision.
inline QDataStream& wireFormat(QDataStream& stream)
{
    stream.setByteOrder(QDataStream::LittleEndian);
    stream.setFloatingPointPrecision(QDataStream::SinglePrecision);
    return stream;
}

// The same byte form read straight from a buffer, for the records an image holds by the thousand,
// where a QDataStream and its QBuffer cost more than the fields. A field the buffer does not hold
// reads as zero and leaves the reader failed and at the end, as a stream past its end would.
class WireReader
{
public:
    WireReader(const char* data, int size)
        : m_data(data)
        , m_size(size < 0 ? 0 : size)
    {
    }
    explicit WireReader(const QByteArray& data)
        : WireReader(data.constData(), data.size())
    {
    }

    template <typename T>
    WireReader& operator>>(T& value)
    {
        static_assert(std::is_integral<T>::value || std::is_same<T, float>::value,
                      "the wire carries integers and single-precision floats");
        if (m_size - m_position < int(sizeof(T))) {
            value = T(0);
            m_position = m_size;
            m_ok = false;
            return *this;
        }
        std::memcpy(&value, m_data + m_position, sizeof(T));
        if (std::is_integral<T>::value) {
            value = qFromLittleEndian(value);
        } else {
            quint32 bits;
            std::memcpy(&bits, &value, sizeof bits);
            bits = qFromLittleEndian(bits);
            std::memcpy(&value, &bits, sizeof bits);
        }
        m_position += int(sizeof(T));
        return *this;
    }

    bool ok() const { return m_ok; }

private:
    const char* m_data;
    int m_size;
    int m_position = 0;
    bool m_ok = true;
};

// Appends fields in the byte form to a buffer; a double goes as a single, as on a wireFormat stream.
class WireWriter
{
public:
    explicit WireWriter(QByteArray& out)
        : m_out(out)
    {
    }
    // Writes over the buffer's bytes from `position` on, for a header whose fields are known only
    // once what follows it is in; the buffer must already hold those bytes.
    static WireWriter overwriting(QByteArray& out, int position)
    {
        WireWriter writer(out);
        writer.m_position = position;
        return writer;
    }
    // Writes in place of the buffer's content. The buffer keeps its room, so records encoded one
    // after another into the same buffer cost no allocation each.
    static WireWriter replacing(QByteArray& out, int bytes)
    {
        out.resize(0);
        out.reserve(bytes);
        return WireWriter(out);
    }

    template <typename T>
    WireWriter& operator<<(T value)
    {
        static_assert(std::is_integral<T>::value && !std::is_same<T, bool>::value,
                      "the wire carries integers and single-precision floats");
        const T wire = qToLittleEndian(value);
        if (m_position < 0) {
            m_out.append(reinterpret_cast<const char*>(&wire), int(sizeof wire));
        } else {
            Q_ASSERT(m_position + int(sizeof wire) <= m_out.size());
            std::memcpy(m_out.data() + m_position, &wire, sizeof wire);
            m_position += int(sizeof wire);
        }
        return *this;
    }
    WireWriter& operator<<(float value)
    {
        quint32 bits;
        std::memcpy(&bits, &value, sizeof bits);
        return *this << bits;
    }
    WireWriter& operator<<(double value) { return *this << float(value); }

private:
    QByteArray& m_out;
    int m_position = -1;
};
