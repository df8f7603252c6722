// The vocabulary shared by entities, templates and behaviours: handles, tables, flags, spawn records.
#ifndef ENTITY_TYPES_H
#define ENTITY_TYPES_H

#include <climits>
#include <map>
#include <memory>
#include <string>

// A behaviour bound to a frame: receives the acting Entity* as void*.
typedef int (*EFHandle)(void *);
// A hit behaviour (acting entity, entity hit); nothing calls one yet.
typedef int (*ECFHandle)(void *, void *);

typedef std::map<std::string, int> IntTable;

// An IntTable shared by a template and every entity made from it until one of them writes to
// it; the writer then takes a copy of its own. An entity thus costs its own state, not a copy
// of all its template's VARs and IGNOREs. Reads see the plain table.
class SharedTable {
public:
	typedef IntTable::const_iterator const_iterator;
	typedef const_iterator iterator;

	SharedTable() {}
	SharedTable(const IntTable &t) : table(std::make_shared<IntTable>(t)) {}

	// The table as it stands; an empty one when nothing was ever written.
	const IntTable &get() const {
		static const IntTable none;
		return table ? *table : none;
	}
	operator const IntTable &() const { return get(); }
	size_t count(const std::string &key) const { return get().count(key); }
	const_iterator find(const std::string &key) const { return get().find(key); }
	const_iterator begin() const { return get().begin(); }
	const_iterator end() const { return get().end(); }
	bool empty() const { return get().empty(); }
	size_t size() const { return get().size(); }

	// The value of key for writing, as IntTable's operator[]; the table is this holder's own after.
	int &operator[](const std::string &key) { return own()[key]; }
	// Empties this holder's table; the others keep theirs.
	void clear() { table.reset(); }

private:
	std::shared_ptr<IntTable> table;

	// This holder's own table: a copy of the shared one when others hold it too.
	IntTable &own() {
		if (!table) {
			table = std::make_shared<IntTable>();
		} else if (table.use_count() > 1) {
			table = std::make_shared<IntTable>(*table);
		}
		return *table;
	}
};

inline bool operator==(const SharedTable &a, const IntTable &b) {
	return a.get() == b;
}
inline bool operator==(const IntTable &a, const SharedTable &b) {
	return a == b.get();
}
typedef std::map<std::string, EFHandle> EFTable;

// Entity flag bits.
#define ENT_INVULN      1   // takes no damage
#define ENT_DIE_OOB_VPT 2   // removed once its box leaves the camera window
#define ENT_DIE_OOB_ENV 4   // accepted and carried; no effect
#define ENT_MOV_OOB_VPT 8   // may move out of the camera window
#define ENT_MOV_OOB_ENV 16  // may move out of the field

// a + b held at the ends of the int range: values from the data may lie anywhere in it.
inline int saturatingAdd(long long a, long long b) {
	long long v = a + b;
	return v > INT_MAX ? INT_MAX : (v < INT_MIN ? INT_MIN : (int)v);
}

// The values a template gives every entity made from it. Templates and entities both hold
// them, so that binding an entity copies them in one statement and a new field is added here.
struct EntityFields {
	std::string id;
	std::string name;
	std::string group;
	std::string type;
	SharedTable ignore;  // types not collided with
	SharedTable var;
	EFHandle eprog = nullptr;
	ECFHandle onhit = nullptr;
	int priority = 0;
	int w = 1;
	int h = 1;
	int xvel = 0;  // thousandths of a pixel per game cycle
	int yvel = 0;
	int life = 1;
	int maxlife = 1;
	int damage = 0;
	int flags = 0;

	void snoopTables(const std::string &spaces, int width) const;
};

// Spawn records that may wait at once in all lists together: far above any level, and a
// bound on the memory and on the list walks of behaviours that queue spawns every cycle.
#define MAX_PENDING_SPAWNS 65536

// How many spawn records exist; kept by the record itself.
extern long spawnRecords;

// A spawn still to happen; delays are relative to the record before it in its list.
struct e_spawn_struct {
	int delay;
	std::string id;
	std::string filename;
	int x;
	int y;
	int xv;
	int yv;
	int r;  // 0: absolute; otherwise relative to the spawner when it fires
	e_spawn_struct *next;

	e_spawn_struct() : delay(0), x(0), y(0), xv(0), yv(0), r(0), next(nullptr) { spawnRecords++; }
	e_spawn_struct(const e_spawn_struct &o)
		: delay(o.delay), id(o.id), filename(o.filename), x(o.x), y(o.y), xv(o.xv), yv(o.yv), r(o.r), next(o.next) {
		spawnRecords++;
	}
	e_spawn_struct &operator=(const e_spawn_struct &o) = default;
	~e_spawn_struct() { spawnRecords--; }
};
typedef e_spawn_struct E_SPAWN;

extern IntTable ent_flags_table;  // flag name -> bit
extern EFTable ent_fun_table;     // behaviour name -> function (filled by buildEFuncs)

void buildEFlags();
void addES(E_SPAWN **list, E_SPAWN *e);
void addESRel(E_SPAWN **list, E_SPAWN *e);
void remES(E_SPAWN **list, E_SPAWN *e);

#endif
