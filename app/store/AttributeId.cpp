#include "AttributeId.h"

#include "CGlobalConfig.h"

int AttributeId::get() const
{
    int id = m_id.load(std::memory_order_relaxed);
    if (id < 0) {
        id = g_config.findAttributeId(m_name);
        if (id >= 0)
            m_id.store(id, std::memory_order_relaxed);
    }
    return id;
}
