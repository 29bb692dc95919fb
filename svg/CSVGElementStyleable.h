#pragma once

#include "CSVGElement.h"

#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CSVGStyleRule;

// Base of every element that is painted or carries paint. It keeps the
// inheritable presentation attributes ("fill", "stroke", the opacities, font
// properties, "visibility", "display", "style", "class" ...) in a style map
// of its own and computes from it the effective style used for painting.
//
// Precedence, from weakest to strongest: the attribute, a declaration of the
// "style" attribute, a rule named by "class" (a later class over an earlier
// one). Where the element has no value the parent's effective value is
// inherited; a parent's display "none" and visibility "hidden" win over the
// element's own. Then defaults and opacity rules apply (see computeStyle).
//
// The effective style is computed on demand: a notified change of an
// inheritable attribute marks the element and its drawable descendants
// dirty, and the getters recompute a dirty style, dirty ancestors first.
class CSVGElementStyleable : public CSVGElement
{
    Q_OBJECT
public:
    // Attribute id -> value.
    using StyleMap = std::map<int, std::wstring>;

    CSVGElementStyleable(CSVGDocument* document, const std::wstring& tagName, std::uint16_t type);

    // The copy gets this element's style maps.
    CSVGElement* clone(bool deep) override;
    // An inheritable attribute goes into the style map as well. With notify,
    // changing a property that the "style" attribute declares rewrites that
    // declaration instead, the declarations in attribute-id order.
    void setAttribute(const std::wstring& name, const std::wstring& value, bool notify) override;
    // Name and value pairs set as setAttribute does without notifying; the
    // style map is looked up in the pool once for all of them, which counts
    // when thousands of new elements get the same few properties.
    void setAttributes(std::initializer_list<std::pair<const std::wstring&, const std::wstring&>> attributes);
    void setAttributes(const std::vector<std::pair<std::wstring, std::wstring>>& attributes);
    // Inheritable attributes are answered from the style map, which holds the
    // "style" declarations and class rules once the style is computed.
    std::wstring getAttribute(const std::wstring& name) const override;
    std::wstring getAttribute(const AttributeId& name) const override;
    // Always lists fill, fill-opacity, stroke and stroke-opacity.
    std::set<std::wstring> getAttributeNames() const override;
    bool isStyleable() const override { return true; }

    // The paint the element is drawn with, as set on it, by its "style" or
    // class, or on a group above it: fill, fill-opacity, fill-rule, stroke,
    // stroke-width, stroke-opacity and stroke-dasharray, those that have a
    // value. Given to a new element that takes the element's place, or
    // copies it, as its own attributes, it draws that element's paint.
    static std::vector<std::pair<std::wstring, std::wstring>> inheritedPaint(CSVGElement* element);

    // Both recompute a dirty style first.
    const StyleMap& getSpecifiedStyle();
    const StyleMap& getEffectiveStyle();
    // The effective value of a property; empty when it has none.
    std::wstring getStyleValue(const std::wstring& name);
    const std::wstring& getStyleValue(const AttributeId& name);
    // Recomputes the style. The source, when given, takes the parent's place
    // as the element inherited from (a use element lends its style to the
    // element it shows).
    void updateStyle(CSVGElementStyleable* source);
    // True also marks every drawable descendant that is not marked yet.
    void setStyleDirty(bool dirty);
    bool isStyleDirty() const { return m_styleDirty; }

    // Reads "name: value; ..." declaration text into target, overwriting.
    // Names are cut to 32 characters and not trimmed at their end; values
    // keep trailing blanks.
    static void parseStyleDeclarations(StyleMap& target, const std::wstring& text);
    // Writes the properties of the named class rules into the style map;
    // names are separated by blanks, ";" or ",".
    void applyClassRules(const std::wstring& classText);
    // Folds "style" and "class" into the style maps of this element and its
    // drawable descendants, for pushing a group's paint into its children:
    // "style" declarations win over the element's values, the class rule
    // (named by the whole "class" text) only fills gaps. The attributes, and
    // so the written text, stay as they are.
    void flattenStyles();

private:
    template <typename Attributes> void setAttributesQuietly(const Attributes& attributes);
    void computeStyle(CSVGElementStyleable* source);
    static void inheritFrom(StyleMap& effective, const StyleMap& inherited);
    void applyDefaults(StyleMap& effective) const;
    void flattenOwnStyles();
    static std::shared_ptr<StyleMap> ruledSpecified(
        const std::shared_ptr<StyleMap>& specified, const CSVGStyleRule* rule);
    const std::wstring& specified(int id) const;
    StyleMap& writableSpecified();
    // The value under the id as the element answers for it: from the style
    // map for an inheritable name, else from the attributes.
    std::wstring attributeOrStyle(int id) const;

    // Shared among the elements whose effective styles are equal, as most
    // pieces of a drawing are: one map for a whole class of pieces.
    std::shared_ptr<const StyleMap> m_effective;
    std::shared_ptr<StyleMap> m_specified;
    // m_specified came from the pool or is shared with a copy: changing it
    // takes a copy of its own first.
    bool m_specifiedShared = true;
    bool m_styleDirty = true;
};
