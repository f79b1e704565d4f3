#include "documents/SettingsFile.h"

#include "device/LumManager49.h"
#include "documents/DocumentWriter.h"

#include <limits>
#include <optional>
#include <string_view>

namespace
{
    struct ItemAttribute
    {
        const char* name;
        int param;
        int defaultOnLoad;
    };

    // In document order after "ID".
    constexpr ItemAttribute itemAttributes[] {
        { "Mode", ItemParam::Mode, 0 },
        { "Chan", ItemParam::Channel, 0 },
        { "Num", ItemParam::Number, 0 },
        { "MinLSB", ItemParam::MinLsb, 0 },
        { "MaxMSB", ItemParam::MaxMsb, 127 },
        { "Option", ItemParam::Option, 127 },
    };

    std::optional<juce::String> findAttributeIgnoringCase (const juce::XmlElement& element, const juce::String& name)
    {
        for (int i = 0; i < element.getNumAttributes(); ++i)
            if (element.getAttributeName (i).equalsIgnoreCase (name))
                return element.getAttributeValue (i);

        return std::nullopt;
    }

    int integerAttribute (const juce::XmlElement& element, const juce::String& name, int defaultValue)
    {
        const auto text = findAttributeIgnoringCase (element, name);
        return text.has_value() ? parseSettingsInteger (*text) : defaultValue;
    }

    int lookUp (const std::map<ItemId, int>& table, ItemId item)
    {
        const auto found = table.find (item);
        return found != table.end() ? found->second : 0;
    }

    template <size_t size>
    std::unique_ptr<juce::XmlElement> createParamGroup (const char* tag, const std::array<juce::int16, size>& values)
    {
        auto group = std::make_unique<juce::XmlElement> (tag);

        for (size_t i = 0; i < size; ++i)
        {
            auto* param = group->createNewChildElement ("Param");
            param->setAttribute ("ID", (int) i);
            param->setAttribute ("Value", (int) values[i]);
        }

        return group;
    }

    template <size_t size>
    void applyParamGroup (const juce::XmlElement* group, std::array<juce::int16, size>& values,
                          std::set<ModelField>& unknown, ModelField (*fieldOf) (int))
    {
        if (group == nullptr)
            return;

        for (const auto* param : group->getChildIterator())
        {
            const auto id = integerAttribute (*param, "ID", -1);

            if (juce::isPositiveAndBelow (id, (int) size))
            {
                values[(size_t) id] = (juce::int16) (juce::uint16) (integerAttribute (*param, "Value", 0) & 0xFFFF);
                unknown.erase (fieldOf (id));
            }
        }
    }

    /** The file's text, or why it cannot be taken. */
    juce::Result readSettingsText (const juce::File& file, juce::String& text)
    {
        if (const auto readable = checkReadable (file); readable.failed())
            return readable;

        juce::FileInputStream in (file);

        if (! in.openedOk())
            return juce::Result::fail (in.getStatus().getErrorMessage());

        juce::MemoryBlock data;
        in.readIntoMemoryBlock (data, maxSettingsFileSize + 1);

        if ((juce::int64) data.getSize() > maxSettingsFileSize)
            return juce::Result::fail ("it is larger than 16 MiB, which no settings file is");

        text = settingsTextFromBytes (data.getData(), data.getSize());
        return juce::Result::ok();
    }

    // The checks below run before every parse, over the text's UTF-8 bytes: everything they
    // look for is ASCII, and no byte of a character beyond ASCII is below 0x80, so a byte
    // search finds exactly what a search by characters would, without decoding each one.

    /** JUCE's XML parser never returns from a processing instruction ("<?...?>") inside
        an element that is followed by text, so such a document is refused unparsed. The
        editor writes none; one in the prolog, before the root element, is harmless. */
    bool hasProcessingInstructionInContent (std::string_view text)
    {
        size_t position = 0;

        for (;;)
        {
            const auto start = text.find ('<', position);

            if (start == std::string_view::npos)
                return false;

            position = start + 1;

            if (position >= text.size() || (text[position] != '?' && text[position] != '!'))
                break;   // the root element starts here
        }

        return text.find ("<?", position) != std::string_view::npos;
    }

    bool isAsciiLetter (char c)   { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    bool isDecimalDigit (char c)  { return c >= '0' && c <= '9'; }
    bool isHexDigit (char c)      { return isDecimalDigit (c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
    bool isNameStart (char c)     { return isAsciiLetter (c) || c == '_' || c == ':' || (unsigned char) c >= 0x80; }
    bool isNameChar (char c)      { return isNameStart (c) || isDecimalDigit (c) || c == '.' || c == '-'; }

    /** Steps over what matches, answering whether at least one character did. */
    template <typename Predicate>
    bool skipAll (std::string_view text, size_t& position, Predicate matches)
    {
        const auto start = position;

        while (position < text.size() && matches (text[position]))
            ++position;

        return position != start;
    }

    /** Whether the text at this position, just past an '&', starts a reference XML allows:
        "&name;", "&#123;" or "&#x7B;". */
    bool isWellFormedReference (std::string_view text, size_t position)
    {
        const auto at = [&] (size_t i) { return i < text.size() ? text[i] : '\0'; };

        if (at (position) == '#')
        {
            ++position;
            const auto hex = (at (position) == 'x' || at (position) == 'X');

            if (hex)
                ++position;

            if (! skipAll (text, position, hex ? isHexDigit : isDecimalDigit))
                return false;
        }
        else if (! isNameStart (at (position)) || ! skipAll (text, position, isNameChar))
        {
            return false;
        }

        return at (position) == ';';
    }

    /** JUCE's XML parser mishandles a reference that is not well formed: it steps one
        character past an unclosed "&#x6" (reading past the end of the text), and it parses
        the text of an unknown "&...;" again as markup when it starts with '<'. XML allows
        neither, and the editor writes neither. */
    bool hasMalformedReference (std::string_view text)
    {
        for (auto ampersand = text.find ('&'); ampersand != std::string_view::npos;
             ampersand = text.find ('&', ampersand + 1))
        {
            if (! isWellFormedReference (text, ampersand + 1))
                return true;
        }

        return false;
    }

    /** "<!ENTITY" in any case, compared as JUCE's parser compares it (which upper-cases
        beyond ASCII too), looked for only where a "<!" is. */
    bool declaresEntities (std::string_view text)
    {
        for (auto markup = text.find ("<!"); markup != std::string_view::npos; markup = text.find ("<!", markup + 1))
        {
            const juce::CharPointer_UTF8 candidate (text.data() + markup);

            if (juce::CharacterFunctions::compareIgnoreCaseUpTo (candidate, juce::CharPointer_ASCII ("<!ENTITY"), 8) == 0)
                return true;
        }

        return false;
    }

    /** Why a document is refused before it is parsed, if it is. */
    juce::String refusalBeforeParsing (const juce::String& document)
    {
        const std::string_view text (document.toRawUTF8());

        if (hasProcessingInstructionInContent (text))
            return "it holds an XML processing instruction inside its content, which no settings file does";

        if (hasMalformedReference (text))
            return "it holds an '&' that does not start a reference such as &amp;";

        // Declared entities are expanded into text that is parsed again, without a limit:
        // a few lines of them can grow to gigabytes. The editor declares none.
        if (declaresEntities (text))
            return "it declares XML entities, which no settings file does";

        return {};
    }

    void applyItem (SettingsModel& model, const juce::XmlElement& element)
    {
        const auto id = integerAttribute (element, "ID", -1);

        if (id < 0)
            return;

        for (const auto& attribute : itemAttributes)
        {
            model.itemParams[(size_t) attribute.param][id] = integerAttribute (element, attribute.name,
                                                                                attribute.defaultOnLoad);
            model.unknown.erase (ModelField::item (id, attribute.param));
        }
    }

    // The values a read of the keyboard could not learn, so that a restore of a backup
    // leaves them as the keyboard holds them:
    // <Unknown><Item ID="1" Params="6"/><Global ID="6"/><Curve ID="4"/></Unknown>.
    // Files without the element (all earlier ones) know every value they hold.
    constexpr const char* unknownTag = "Unknown";

    std::unique_ptr<juce::XmlElement> createUnknownGroup (const std::set<ModelField>& unknown)
    {
        auto group = std::make_unique<juce::XmlElement> (unknownTag);
        std::map<int, juce::StringArray> paramsByItem;

        for (const auto& field : unknown)
            if (field.group == ModelField::Group::item)
                paramsByItem[field.id].add (juce::String (field.param));

        for (const auto& [item, params] : paramsByItem)
        {
            auto* element = group->createNewChildElement ("Item");
            element->setAttribute ("ID", item);
            element->setAttribute ("Params", params.joinIntoString (" "));
        }

        for (const auto& field : unknown)
            if (field.group != ModelField::Group::item)
                group->createNewChildElement (field.group == ModelField::Group::global ? "Global" : "Curve")
                    ->setAttribute ("ID", field.id);

        return group;
    }

    void applyUnknownGroup (SettingsModel& model, const juce::XmlElement* group)
    {
        if (group == nullptr)
            return;

        for (const auto* element : group->getChildIterator())
        {
            const auto id = integerAttribute (*element, "ID", -1);

            if (element->getTagName().equalsIgnoreCase ("Item") && juce::isPositiveAndBelow (id, 128))
            {
                const auto params = findAttributeIgnoringCase (*element, "Params").value_or (juce::String());

                for (const auto& word : juce::StringArray::fromTokens (params, " ", ""))
                    if (const auto param = parseSettingsInteger (word);
                        param >= ItemParam::firstStored && param <= ItemParam::lastStored)
                        model.unknown.insert (ModelField::item (id, param));
            }
            else if (element->getTagName().equalsIgnoreCase ("Global") && juce::isPositiveAndBelow (id, globalCount))
                model.unknown.insert (ModelField::global (id));
            else if (element->getTagName().equalsIgnoreCase ("Curve") && juce::isPositiveAndBelow (id, curveCount))
                model.unknown.insert (ModelField::curve (id));
        }
    }

    bool hasAnySettingsGroup (const juce::XmlElement& root)
    {
        return root.getChildByName ("Items") != nullptr || root.getChildByName ("Globals") != nullptr
               || root.getChildByName ("Curves") != nullptr;
    }
}

int parseSettingsInteger (const juce::String& text)
{
    auto p = text.getCharPointer().findEndOfWhitespace();
    bool negative = false;

    if (*p == '-' || *p == '+')
    {
        negative = *p == '-';
        ++p;
    }

    // Accumulate the magnitude in 64 bits, stopping once it is beyond any int.
    constexpr juce::int64 limit = (juce::int64) std::numeric_limits<int>::max() + 1;
    juce::int64 magnitude = 0;

    for (auto c = *p; c >= '0' && c <= '9'; c = *++p)
        magnitude = std::min (magnitude * 10 + (c - '0'), limit);

    const auto value = negative ? -magnitude : magnitude;
    return (int) juce::jlimit ((juce::int64) std::numeric_limits<int>::min(),
                               (juce::int64) std::numeric_limits<int>::max(), value);
}

std::unique_ptr<juce::XmlElement> createSettingsDocument (const SettingsModel& model)
{
    auto root = std::make_unique<juce::XmlElement> ("Settings");
    auto items = std::make_unique<juce::XmlElement> ("Items");

    for (const auto& [item, number] : model.itemParams[ItemParam::Number])
    {
        auto* element = items->createNewChildElement ("Item");
        element->setAttribute ("ID", item);

        for (const auto& attribute : itemAttributes)
            element->setAttribute (attribute.name, attribute.param == ItemParam::Number
                                                       ? number
                                                       : lookUp (model.itemParams[(size_t) attribute.param], item));
    }

    root->addChildElement (items.release());
    root->addChildElement (createParamGroup ("Globals", model.globals).release());
    root->addChildElement (createParamGroup ("Curves", model.curves).release());

    if (! model.unknown.empty())
        root->addChildElement (createUnknownGroup (model.unknown).release());

    return root;
}

juce::Result saveSettingsFile (const SettingsModel& model, const juce::File& file)
{
    return writeXmlDocument (file, *createSettingsDocument (model));
}

juce::Result saveSettingsFile (LumManager49& manager, const juce::File& file)
{
    return saveSettingsFile (manager.getModel(), file);
}

void applySettingsDocument (SettingsModel& model, const juce::XmlElement& root)
{
    if (const auto* items = root.getChildByName ("Items"))
        for (const auto* element : items->getChildIterator())
            applyItem (model, *element);

    applyParamGroup (root.getChildByName ("Globals"), model.globals, model.unknown, &ModelField::global);
    applyParamGroup (root.getChildByName ("Curves"), model.curves, model.unknown, &ModelField::curve);
    applyUnknownGroup (model, root.getChildByName (unknownTag));
}

juce::Result loadSettingsFile (const juce::File& file, SettingsModel& model)
{
    juce::String text;

    if (const auto read = readSettingsText (file, text); read.failed())
        return read;

    return loadSettingsText (text, model);
}

juce::String settingsDocumentText (const SettingsModel& model)
{
    juce::MemoryOutputStream out;
    createSettingsDocument (model)->writeTo (out);
    return out.toUTF8();
}

juce::String settingsTextFromBytes (const void* data, size_t size)
{
    // JUCE reads the byte after a text that is nothing but a UTF-8 byte-order mark (an
    // "empty" file as some editors save it); in a copy that ends with a zero byte, that
    // read stays inside the copy.
    juce::MemoryBlock terminated (data, size);
    terminated.append ("", 1);
    return juce::String::createStringFromData (terminated.getData(), (int) size);
}

juce::Result loadSettingsText (const juce::String& text, SettingsModel& model)
{
    if (const auto refusal = refusalBeforeParsing (text); refusal.isNotEmpty())
        return juce::Result::fail (refusal);

    // Parsed from memory: a document can then name no other file to be read.
    juce::XmlDocument document (text);
    const auto root = document.getDocumentElement();

    if (root == nullptr)
        return juce::Result::fail ("it is not an XML document (" + document.getLastParseError() + ")");

    if (! hasAnySettingsGroup (*root))
        return juce::Result::fail ("it is not a settings file: it has no Items, Globals or Curves");

    applySettingsDocument (model, *root);
    return juce::Result::ok();
}

juce::Result loadSettingsFile (LumManager49& manager, const juce::File& file)
{
    auto model = manager.getModel();
    const auto result = loadSettingsFile (file, model);

    if (result.wasOk())
        manager.setModel (model);

    return result;
}
