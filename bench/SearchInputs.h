#pragma once

#include <iterator>

namespace bench {

// The 50 inputs the search benchmarks type one character at a time: Chinese words, pinyin
// whole and by initials, codes with dots, spaces or dashes, English words, one-character
// inputs, and a code with words.
inline constexpr const char *kSearchInputs[] = {
    // Chinese words
    "其他牛", "改良种用", "濒危野马", "化妆品", "笔记本电脑", "电动机", "塑料", "钢铁", "乐器", "长丝",
    "橡胶轮胎", "葡萄酒", "冷冻鱼", "棉花", "汽车零件", "牛 其他", "不锈钢", "集成电路", "木材",
    // pinyin, whole and initials
    "hzp", "huazhuangpin", "yueqi", "changsi", "gangtie", "suliao", "xiangjiao", "bxg", "jcdl", "niurou",
    "mianhua", "qiche",
    // codes
    "0101.21", "0101 21 00 10", "8471-30", "8471", "0101299999", "9503", "27",
    // English words
    "nucl react", "horses live", "tea", "machinery", "polymers ethylene", "iron steel", "cotton",
    // one character, and code with words
    "其", "马", "油", "h", "8471 计算机",
};

} // namespace bench
