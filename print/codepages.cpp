#include "print/codepages.h"

namespace CodePages {

const QVector<CodePage> &list()
{
    static const QVector<CodePage> pages = {
        {0, "(0) PC437: USA, Standard Europe"}, {1, "(1) Katakana"},
        {2, "(2) PC850: Multilingual"},         {3, "(3) PC860: Portuguese"},
        {4, "(4) PC863: Canadian-French"},      {5, "(5) PC865: Nordic"},
        {11, "(11) PC851: Greek"},              {12, "(12) PC853: Turkish"},
        {13, "(13) PC857: Turkish"},            {14, "(14) PC737: Greek"},
        {15, "(15) ISO8859-7: Greek"},          {16, "(16) PC1252"},
        {17, "(17) PC866: Cyrillic #2"},        {18, "(18) PC852: Latin2"},
        {19, "(19) PC858: Euro"},               {20, "(20) KU42: Thai"},
        {21, "(21) TIS11: Thai"},               {26, "(26) TIS18: Thai"},
        {30, "(30) TCVN-3: Vietnamese"},        {31, "(31) TCVN-3: Vietnamese"},
        {32, "(32) PC720: Arabic"},             {33, "(33) PC775: Baltic Rim"},
        {34, "(34) PC855: Cyrillic"},           {35, "(35) PC861: Icelandic"},
        {36, "(36) PC862: Hebrew"},             {37, "(37) PC864: Arabic"},
        {38, "(38) PC869: Greek"},              {39, "(39) ISO8859-2: Latin2"},
        {40, "(40) ISO8859-15: Latin9"},        {42, "(42) PC1118: Lithuanian"},
        {44, "(44) PC1125: Ukrainian"},         {45, "(45) PC1250: Latin 2"},
        {46, "(46) PC1251: Cyrillic"},          {47, "(47) PC1253: Greek"},
        {48, "(48) PC1254: Turkish"},           {49, "(49) PC1255: Hebrew"},
        {50, "(50) PC1256: Arabic"},            {51, "(51) PC1257: Baltic Rim"},
        {52, "(52) PC1258: Vietnamese"},        {53, "(53) KZ1048: Kazakhstan"},
    };
    return pages;
}

bool contains(int number)
{
    return !name(number).isEmpty();
}

QString name(int number)
{
    for (const CodePage &page : list()) {
        if (page.number == number)
            return QString::fromLatin1(page.name);
    }
    return QString();
}

} // namespace CodePages
