// Writes the installed word lists into a folder: FullWordList.txt from a dictionary file (words made
// only of the letters a to z once lower-cased, without duplicates, sorted) and the lists of every
// two-, three- and four-letter name. Every entry ends with CR LF, like every list of the program.
#include <algorithm>
#include <cctype>
#include <fstream>
#include <iostream>
#include <set>
#include <string>

namespace {

bool writeAllNames(const std::string &path, int length)
{
    std::ofstream out(path, std::ios::binary);
    std::string name(size_t(length), 'a');
    while (out) {
        out << name << "\r\n";
        int i = length - 1;
        while (i >= 0 && name[size_t(i)] == 'z')
            name[size_t(i--)] = 'a';
        if (i < 0)
            break;
        ++name[size_t(i)];
    }
    return bool(out);
}

bool writeFullList(const std::string &dictionary, const std::string &path)
{
    std::ifstream in(dictionary, std::ios::binary);
    if (!in) {
        std::cerr << "cannot read " << dictionary << "\n";
        return false;
    }
    std::set<std::string> words;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::transform(line.begin(), line.end(), line.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        const bool lettersOnly =
            !line.empty() && std::all_of(line.begin(), line.end(), [](char c) { return c >= 'a' && c <= 'z'; });
        if (lettersOnly)
            words.insert(line);
    }
    std::ofstream out(path, std::ios::binary);
    for (const std::string &word : words)
        out << word << "\r\n";
    return bool(out);
}

}   // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::cerr << "usage: make-wordlists DICTIONARY FOLDER\n";
        return 2;
    }
    const std::string folder = argv[2];
    const bool ok = writeFullList(argv[1], folder + "/FullWordList.txt")
        && writeAllNames(folder + "/AllTwoLetter.txt", 2) && writeAllNames(folder + "/AllThreeLetter.txt", 3)
        && writeAllNames(folder + "/AllFourLetter.txt", 4);
    return ok ? 0 : 1;
}
