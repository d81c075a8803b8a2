#include "print/styleditemdelegatecombobox.h"

#include "print/dialogfontsettings.h"

#include <QComboBox>

const QStringList &StyledItemDelegateComboBox::scriptNames()
{
    static const QStringList names = [] {
        const char *const list[] = {
            "UNKNOWN", "ADLAM", "AHOM", "ANATOLIAN_HIEROGLYPHS", "ARABIC", "ARMENIAN", "AVESTAN",
            "BALINESE", "BAMUM", "BASSA_VAH", "BATAK", "BENGALI", "BHAIKSUKI", "BOPOMOFO", "BRAHMI",
            "BRAILLE", "BUGINESE", "BUHID", "CANADIAN_SYLLABICS", "CARIAN", "CAUCASIAN_ALBANIAN",
            "CHAKMA", "CHAM", "CHEROKEE", "COPTIC", "CUNEIFORM", "CYPRIOT", "CYRILLIC", "DESERET",
            "DEVANAGARI", "DUPLOYAN", "EGYPTIAN_HIEROGLYPHS", "ELBASAN", "ETHIOPIC", "GEORGIAN",
            "GLAGOLITIC", "GOTHIC", "GRANTHA", "GREEK", "GUJARATI", "GURMUKHI", "HAN", "HANGUL",
            "HANUNOO", "HATRAN", "HEBREW", "HIRAGANA", "IMPERIAL_ARAMAIC", "INSCRIPTIONAL_PAHLAVI",
            "INSCRIPTIONAL_PARTHIAN", "JAVANESE", "KAITHI", "KANNADA", "KATAKANA", "KAYAH_LI",
            "KHAROSHTHI", "KHMER", "KHOJKI", "KHUDAWADI", "LAO", "LATIN", "LEPCHA", "LIMBU",
            "LINEAR_A", "LINEAR_B", "LISU", "LYCIAN", "LYDIAN", "MAHAJANI", "MALAYALAM", "MANDAIC",
            "MANICHAEAN", "MARCHEN", "MEETEI_MAYEK", "MENDE_KIKAKUI", "MEROITIC_CURSIVE",
            "MEROITIC_HIEROGLYPHS", "MIAO", "MODI", "MONGOLIAN", "MRO", "MULTANI", "MYANMAR",
            "NABATAEAN", "NEW_TAI_LUE", "NEWA", "NKO", "OGHAM", "OL_CHIKI", "OLD_HUNGARIAN",
            "OLD_ITALIC", "OLD_NORTH_ARABIAN", "OLD_PERMIC", "OLD_PERSIAN", "OLD_SOUTH_ARABIAN",
            "OLD_TURKIC", "ORIYA", "OSAGE", "OSMANYA", "PAHAWH_HMONG", "PALMYRENE", "PAU_CIN_HAU",
            "PHAGS_PA", "PHOENICIAN", "PSALTER_PAHLAVI", "REJANG", "RUNIC", "SAMARITAN", "SAURASHTRA",
            "SHARADA", "SHAVIAN", "SIDDHAM", "SIGNWRITING", "SINHALA", "SORA_SOMPENG", "SUNDANESE",
            "SYLOTI_NAGRI", "SYRIAC", "TAGALOG", "TAGBANWA", "TAI_LE", "TAI_THAM", "TAI_VIET", "TAKRI",
            "TAMIL", "TANGUT", "TELUGU", "THAANA", "THAI", "TIBETAN", "TIFINAGH", "TIRHUTA",
            "UGARITIC", "VAI", "WARANG_CITI", "YI"
        };
        QStringList out;
        for (const char *name : list)
            out << QLatin1String(name);
        return out;
    }();
    return names;
}

QWidget *StyledItemDelegateComboBox::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                                  const QModelIndex &index) const
{
    if (index.column() == DialogFontSettings::ColScript) {
        // A name the printer sent that is not in the list opens on the first one.
        auto *box = new QComboBox(parent);
        box->setFrame(false);
        box->setMinimumContentsLength(24);
        box->addItems(scriptNames());
        return box;
    }
    if (index.column() == DialogFontSettings::ColFont) {
        auto *box = new QComboBox(parent);
        box->setEditable(true);
        box->setMinimumContentsLength(16);
        // The editor's parent is the table's viewport, inside the dialog.
        for (QWidget *w = parent; w; w = w->parentWidget()) {
            if (auto *dialog = qobject_cast<DialogFontSettings *>(w)) {
                box->addItems(dialog->installedNames());
                break;
            }
        }
        return box;
    }
    return QStyledItemDelegate::createEditor(parent, option, index);
}
