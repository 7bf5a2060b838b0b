# A step of bench/startup-trace.sh: the median of each start-up step over the
# runs, from its "trace <at> <step> <what>" lines (milliseconds).
#   awk -f profile.awk -f trace.awk
{
  key = ""
  for (i = 4; i <= NF; i++) key = key (i > 4 ? " " : "") $i
  if (!(key in seen)) { seen[key] = 1; order[++k] = key }
  c[key]++; at[key, c[key]] = $2; step[key, c[key]] = $3
}

function median(a, key, m,    i, v) {
  for (i = 1; i <= m; i++) v[i] = a[key, i]
  sort_runs(v, m)
  return median_of_sorted(v, m)
}

END {
  for (i = 1; i <= k; i++)
    printf "  %8.2f %7.2f  %s\n", median(at, order[i], c[order[i]]), median(step, order[i], c[order[i]]), order[i]
}
