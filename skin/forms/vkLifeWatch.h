// Whether an object was freed while its handlers ran: a handler may delete the very button or item it serves.
#pragma once
#include <memory>

// Held by the watched object; marks it gone when the object goes.
class TvkLifeMark {
public:
  TvkLifeMark() = default;
  TvkLifeMark(const TvkLifeMark&) = delete;
  TvkLifeMark& operator=(const TvkLifeMark&) = delete;
  ~TvkLifeMark() { *FAlive = false; }

private:
  friend class TvkLifeWatch;
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// Taken before a handler runs; Freed tells afterwards whether the object is gone.
class TvkLifeWatch {
public:
  explicit TvkLifeWatch(const TvkLifeMark& Mark) : FAlive(Mark.FAlive) {}
  bool Freed() const { return !*FAlive; }

private:
  std::shared_ptr<const bool> FAlive;
};
