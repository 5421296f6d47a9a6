# Where the scripts reach the local cluster, and as whom: sourced by scripts/db, bench, soak and
# package-check, so that the address, port, role and password are written here only.
cluster_host=127.0.0.1
cluster_port=5432
cluster_user=sys
cluster_password=tulwexa
export PGPASSWORD="$cluster_password"
# psql as the scripts' role; each script adds its own options.
cluster_psql() { psql -h "$cluster_host" -p "$cluster_port" -U "$cluster_user" "$@"; }
