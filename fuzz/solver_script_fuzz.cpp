// Any script made of the bundled solver's own words and of number texts: the
// solver ends with a Tcl error, a warning or a finished run, never a crash,
// and it leaves no recorder file locked behind it. A script that runs without
// Tcl (plain_script.h) is also run under Tcl: the exit status, the first line
// of the messages and every recorder file must be the same.
//
// The input is read as text: each word that looks like a number (digits,
// signs, points, exponents, "nan", "inf", hexadecimal) is kept as typed and
// every other word becomes one of the command words below, chosen by its
// bytes. So a real solver script is a good seed, and mutations stay scripts.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "interpreter/commands.h"
#include "interpreter/plain_script.h"

namespace {

const char* const kWords[] = {
    "wipe", "model", "basic", "-ndm", "-ndf", "node", "fix", "uniaxialMaterial", "Concrete01",
    "Steel02", "Elastic", "section", "Fiber", "fiber", "element", "zeroLengthSection", "pattern",
    "Plain", "Constant", "Linear", "{Linear -factor 2}", "-factor", "load", "loadConst", "-time",
    "integrator", "LoadControl", "DisplacementControl", "system", "SparseGeneral", "-piv",
    "BandGeneral", "test", "EnergyIncr", "NormDispIncr", "NormUnbalance", "numberer", "constraints",
    "Transformation", "algorithm", "Newton", "analysis", "Static", "analyze", "recorder", "Node",
    "-file", "-node", "-dof", "-precision", "disp", "nodeDisp", "getTime", "catch", "{", "}", "{}",
    ";", "\n", "[getTime]", "[nodeDisp 2 3]", "[analyze 1]", "$x", "\"\"",
    // Hand-written sections: patches, layers, more materials, more recorders.
    "patch", "rect", "quad", "circ", "layer", "straight", "Steel01", "Concrete02", "ElasticPP",
    "Concrete04", "-GJ", "Element", "-ele", "-eleRange", "reaction", "force", "deformation",
    "stressStrain", "eleResponse", "nodeReaction", "reactions", "remove", "recorders", "RCM",
    "geomTransf", "[eleResponse 1 section force]", "[nodeReaction 1 3]",
    // Numbers a fuzzer reaches only by luck.
    "0", "1", "2", "3", "1001", "-1", "-0", "0.1", "1e-10", "1e6", "-1e6", "1e308", "-1e308",
    "1e309", "4.9e-324", "2147483647", "2147483648", "-2147483648", "9223372036854775808", "nan",
    "-inf", "0x7fffffff", "-3.500E+001", "-2.000E-003", "3.000E+002", "2.150E+005", "2.000E-007",
    "-1.000E+006", "200", "100", "10"};
constexpr std::size_t kWordCount = sizeof kWords / sizeof kWords[0];

// A script of more words could record millions of values per step.
constexpr std::size_t kMaxWords = 600;

// Steps and Newton iterations above 20 are cut down to 20, so that every run
// ends well within the fuzzer's time limit; counts above the solver's own
// limits are passed on unchanged, so that its refusal is exercised too.
bool Clamped(const std::string& word, long long limit, std::string& token) {
  char* end = nullptr;
  const long long value = std::strtoll(word.c_str(), &end, 10);
  if (word.empty() || *end != '\0' || value <= 20 || value > limit) return false;
  token = "20";
  return true;
}

bool LooksLikeNumber(const std::string& word) {
  if (word.empty() || word.size() > 32) return false;
  for (char c : word)
    if (!std::strchr("0123456789+-.eEnaNAiIfFxXtyY", c)) return false;
  return true;
}

// The script the solver runs, and the recorder files it may write.
std::string BuildScript(const uint8_t* data, std::size_t size, int& recorders) {
  std::string script;
  std::size_t words = 0;
  std::string previous;  // the last word
  int afterTest = 100;   // words since the last "test"
  bool file_name_next = false;
  std::size_t i = 0;
  while (i < size && words < kMaxWords) {
    const char c = static_cast<char>(data[i]);
    if (c == ' ' || c == '\t') {
      ++i;
      continue;
    }
    if (c == '\n' || c == ';') {
      script += c;
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < size && !std::strchr(" \t\n;", static_cast<char>(data[end]))) ++end;
    const std::string word(reinterpret_cast<const char*>(data + i), end - i);
    i = end;
    ++words;
    std::string token;
    if (file_name_next) {
      // One file per recorder: two recorders on one file would wait on each
      // other's lock, which the solver gives up only after seconds.
      token = "r" + std::to_string(++recorders) + ".out";
    } else if (LooksLikeNumber(word)) {
      if (!(previous == "analyze" && Clamped(word, 1000000, token)) &&
          !(afterTest == 2 && Clamped(word, 10000, token))) {
        token = word;
      }
    } else {
      bool known = false;
      for (const char* candidate : kWords) known = known || word == candidate;
      if (known) {
        token = word;
      } else {
        uint32_t hash = 2166136261u;
        for (unsigned char b : word) hash = (hash ^ b) * 16777619u;
        token = kWords[hash % kWordCount];
      }
    }
    file_name_next = token == "-file";
    afterTest = token == "test" ? 0 : afterTest + 1;
    previous = token;
    script += token;
    script += ' ';
  }
  return script;
}

// A recorder file that a finished solver still held locked would keep every
// chart of it out for good.
bool StillLocked(const std::string& file_name) {
  const int fd = ::open(file_name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct flock lock;
  std::memset(&lock, 0, sizeof lock);
  lock.l_type = F_RDLCK;
  lock.l_whence = SEEK_SET;
  const bool locked = ::fcntl(fd, F_OFD_SETLK, &lock) != 0;
  ::close(fd);
  return locked;
}

// One run: its status, the first line of its messages and the recorder
// files it wrote (removed afterwards).
struct Outcome {
  int status;
  std::string firstMessage;
  std::vector<std::string> files;
};

std::string ReadAll(std::FILE* file) {
  std::string text;
  std::rewind(file);
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
    text.append(buffer, got);
  return text;
}

Outcome Run(const std::string& script_file, int recorders, marrowick::engine::Interpreter use) {
  std::FILE* errors = std::tmpfile();
  if (!errors) std::abort();
  Outcome outcome;
  outcome.status = marrowick::engine::runScriptFile(script_file, errors, true, use);
  if (outcome.status != 0 && outcome.status != 1) std::abort();
  const std::string messages = ReadAll(errors);
  std::fclose(errors);
  outcome.firstMessage = messages.substr(0, messages.find('\n'));
  for (int k = 1; k <= recorders; ++k) {
    const std::string name = "r" + std::to_string(k) + ".out";
    if (StillLocked(name)) std::abort();
    std::FILE* file = std::fopen(name.c_str(), "rb");
    outcome.files.push_back(file ? ReadAll(file) : std::string("(none)"));
    if (file) std::fclose(file);
    std::remove(name.c_str());
  }
  return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  (void)argc;
  marrowick::engine::initializeTcl((*argv)[0]);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string script_file = "fuzz-" + std::to_string(::getpid()) + ".tcl";

  int recorders = 0;
  const std::string script = BuildScript(data, size, recorders);
  std::FILE* file = std::fopen(script_file.c_str(), "wb");
  if (!file || std::fwrite(script.data(), 1, script.size(), file) != script.size()) std::abort();
  std::fclose(file);

  using marrowick::engine::Interpreter;
  const Outcome tcl = Run(script_file, recorders, Interpreter::Always);
  if (marrowick::engine::isPlainScript(marrowick::engine::withTclLineEnds(script))) {
    const Outcome plain = Run(script_file, recorders, Interpreter::WhenNeeded);
    if (plain.status != tcl.status || plain.firstMessage != tcl.firstMessage ||
        plain.files != tcl.files) {
      std::fprintf(stderr, "the paths differ:\n%s\nTcl: %d %s\nplain: %d %s\n", script.c_str(),
                   tcl.status, tcl.firstMessage.c_str(), plain.status, plain.firstMessage.c_str());
      std::abort();
    }
  }
  std::remove(script_file.c_str());
  return 0;
}
