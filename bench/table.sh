# The figures and the table both benchmark scripts print; sourced by them. The script sets `format`
# (the printf format of a row) before its first row.

# ratio A B: A / B to two places; "-" when B is no positive number (a measurement that gave nothing).
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }

# verdict VALUE LIMIT: "met" when VALUE is a number no greater than LIMIT; a missing figure is not met.
verdict() { awk -v v="$1" -v limit="$2" 'BEGIN { print (v ~ /^-?[0-9.]+$/ && v + 0 <= limit + 0) ? "met" : "NOT MET" }'; }

# spread RATIOS: minimum / median / maximum of the ratios of the runs taken side by side.
spread() {
    echo "$@" | tr ' ' '\n' | sort -n | awk 'NF { v[n++] = $1 } END { printf "%s / %s / %s", v[0], v[int(n / 2)], v[n - 1] }'
}

# row FIELD...: one row of the table, printed at the end.
rows=""
row() { rows="$rows$(printf "$format" "$@")
"; }
