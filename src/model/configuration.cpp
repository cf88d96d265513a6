#include "model/configuration.h"

bool Configuration::flag() const
{
    return m_flag;
}

void Configuration::setFlag(bool value)
{
    m_flag = value;
}
