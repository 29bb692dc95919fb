#include "Catalogue.h"

namespace standin {

const QStringList Catalogue::kLevels = { QStringLiteral("type"), QStringLiteral("brand"), QStringLiteral("series"),
    QStringLiteral("model"), QStringLiteral("year"), QStringLiteral("submodel") };
const QStringList Catalogue::kLanguages = { QStringLiteral("zh"), QStringLiteral("en"), QStringLiteral("ko") };

Catalogue::Node Catalogue::readNode(const QJsonObject& object)
{
    Node node;
    node.id = m_nextId++;
    node.names = object.value(QStringLiteral("val")).toObject();
    for (const QJsonValue& child : object.value(QStringLiteral("children")).toArray())
        node.children.append(readNode(child.toObject()));
    for (const QJsonValue& id : object.value(QStringLiteral("templates")).toArray())
        node.templates.append(id.toInt());
    return node;
}

void Catalogue::load(const QJsonArray& categories, const QJsonArray& templates)
{
    m_root = readNode(QJsonObject { { QStringLiteral("children"), categories } });
    for (const QJsonValue& value : templates) {
        const QJsonObject object = value.toObject();
        m_templates.insert(object.value(QStringLiteral("id")).toInt(), object);
    }
}

const Catalogue::Node* Catalogue::find(const QStringList& values, const QString& language) const
{
    const Node* node = &m_root;
    for (const QString& value : values) {
        const Node* next = nullptr;
        for (const Node& child : node->children) {
            if (child.names.value(language).toString() == value)
                next = &child;
        }
        if (!next)
            return nullptr;
        node = next;
    }
    return node;
}

bool Catalogue::entries(const QStringList& values, const QString& language, QJsonArray* entries) const
{
    const Node* node = find(values, language);
    if (!node)
        return false;
    for (const Node& child : node->children) {
        entries->append(
            QJsonObject { { QStringLiteral("val"), child.names.value(language) }, { QStringLiteral("id"), child.id } });
    }
    return true;
}

QList<QJsonObject> Catalogue::templatesAt(const QStringList& values, const QString& language) const
{
    QList<QJsonObject> found;
    const Node* node = find(values, language);
    if (node) {
        for (int id : node->templates)
            found.append(m_templates.value(id));
    }
    return found;
}

QJsonObject Catalogue::findTemplate(int id) const
{
    return m_templates.value(id);
}

} // namespace standin
