#include "stats_json.h"

#include <cstdint>
#include <utility>

namespace sim::host {

std::string StatsJson(const Board& board)
{
    const Stats& s = board.stats();
    const std::pair<const char*, uint64_t> fields[] = {
        {"port_reads", s.port_reads},
        {"port_writes", s.port_writes},
        {"ec_commands", s.ec_commands},
        {"ec_drops", s.ec_drops},
        {"ec_resets", s.ec_resets},
        {"kbc_commands", s.kbc_commands},
        {"kbc_drops", s.kbc_drops},
        {"spi_transactions", s.spi_transactions},
        {"spi_bytes_out", s.spi_bytes_out},
        {"spi_bytes_in", s.spi_bytes_in},
        {"spi_ignored", s.spi_ignored},
        {"spi_bytes_unselected", s.spi_bytes_unselected},
        {"status_nonvolatile", s.status_nonvolatile},
        {"pause_us", s.pause_us},
        {"flash_busy_us", s.flash_busy_us},
        {"modeled_us", board.NowUs()},
    };
    std::string json = "{";
    for (const auto& [key, value] : fields) {
        json += json.size() == 1 ? "\n" : ",\n";
        json += "  \"" + std::string(key) + "\": " + std::to_string(value);
    }
    json += "\n}\n";
    return json;
}

}  // namespace sim::host
