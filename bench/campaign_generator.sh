# Sourced by the campaign benchmarks, from the top of the tree, once $out is
# set: $generate is the generator of their report sets, compiled into $out
# whenever its source is newer.
generate="$out/campaign_generate"
[[ "$generate" -nt bench/campaign_generate.cpp ]] ||
    g++ -O2 -std=c++20 -o "$generate" bench/campaign_generate.cpp
